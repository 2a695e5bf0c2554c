#include <gtest/gtest.h>

#include <set>

#include "handoff/ArticleRules.h"
#include "ui/LanguageTable.h"

namespace {

std::vector<std::string> Numbers(const std::vector<Candidate>& candidates) {
    std::vector<std::string> numbers;
    for (const auto& c : candidates) numbers.push_back(c.number);
    return numbers;
}

TEST(LanguageTableRows, LettersAndIdsPairAsTheMediumExpects) {
    EXPECT_STREQ(languageTable.letters, "EGFIR");
    const int captions[] = {115, 116, 117, 118, 119};
    // French is 108 and German 109: the name ids do not follow the rows.
    const int names[] = {107, 109, 108, 110, 111};
    for (int i = 0; i < LanguageTable::size; ++i) {
        EXPECT_EQ(languageTable.captionIds[i], captions[i]) << "row " << i;
        EXPECT_EQ(languageTable.nameIds[i], names[i]) << "row " << i;
    }
}

TEST(NumberTrim, RemovesEverySortOfWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(TrimArticleNumber(" \t\n\v\f\rZABC \t\n\v\f\r"), "ZABC");
    EXPECT_EQ(TrimArticleNumber("A B\tC"), "A B\tC");
    EXPECT_EQ(TrimArticleNumber("   "), "");
    EXPECT_EQ(TrimArticleNumber(""), "");
    EXPECT_EQ(TrimArticleNumber("E1"), "E1");
    // Bytes of the upper half (cp1251 letters, 0xA0 no-break space) are not white space.
    EXPECT_EQ(TrimArticleNumber("\xA0\xC0 "), "\xA0\xC0");
}

TEST(NumberPlaceholder, OnlyALeadingZMakesAPlaceholderNumber) {
    EXPECT_TRUE(IsPlaceholderNumber("Z"));
    EXPECT_TRUE(IsPlaceholderNumber("ZABC"));
    EXPECT_FALSE(IsPlaceholderNumber("AZ1"));
    EXPECT_FALSE(IsPlaceholderNumber("zABC"));
    EXPECT_FALSE(IsPlaceholderNumber(""));
    // Trimming comes first: a space before the Z still gives a placeholder number.
    EXPECT_TRUE(IsPlaceholderNumber(TrimArticleNumber(" ZABC")));
}

TEST(CandidateExpansion, EveryZIsReplacedByEachLetterInTableOrder) {
    EXPECT_EQ(Numbers(ExpandCandidates("ZABC")),
              (std::vector<std::string>{"EABC", "GABC", "FABC", "IABC", "RABC"}));
    EXPECT_EQ(Numbers(ExpandCandidates("Z")), (std::vector<std::string>{"E", "G", "F", "I", "R"}));
    EXPECT_EQ(Numbers(ExpandCandidates("Z1Z")),
              (std::vector<std::string>{"E1E", "G1G", "F1F", "I1I", "R1R"}));
    // Each row starts again from the number, not from the previous candidate.
    const auto candidates = ExpandCandidates("ZZ");
    ASSERT_EQ(candidates.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(candidates[i].languageIndex, i);
        EXPECT_EQ(candidates[i].number, std::string(2, languageTable.letters[i]));
    }
}

TEST(LookAlikeLetters, EachCyrillicLookAlikeCapitalOrSmallBecomesItsLatinCapital) {
    // А В Е К М Н О Р С Т Х, then а в е к м н о р с т х (cp1251).
    EXPECT_EQ(ReplaceLookAlikeLetters("\xC0\xC2\xC5\xCA\xCC\xCD\xCE\xD0\xD1\xD2\xD5"
                                      "\xE0\xE2\xE5\xEA\xEC\xED\xEE\xF0\xF1\xF2\xF5"),
              "ABEKMHOPCTXABEKMHOPCTX");
    // Д, Ё, З (looks like a 3, not a letter), Я, the unassigned byte, Latin letters and digits.
    const std::string others = std::string("\xC4\xA8\xC7\xDF\x98") + "Ee1Z";
    EXPECT_EQ(ReplaceLookAlikeLetters(others), others);
}

TEST(LookAlikeLetters, TheCatalogueDecidesWhetherTheTypedNumberOrItsLatinFormIsUsed) {
    std::set<std::string> keys{"E5678", "EABC"};
    const CatalogKeyTest isKey = [&](const std::string& key) { return keys.count(key) > 0; };
    const std::string cyrillicE = "\xC5";
    const std::string cyrillicABC = "\xC0\xC2\xD1";
    EXPECT_EQ(ChooseTypedNumber(cyrillicE + "5678", isKey), "E5678");
    EXPECT_EQ(ChooseTypedNumber("E5678", isKey), "E5678");
    // Neither form is known: the number as typed, for the wrong-number message.
    EXPECT_EQ(ChooseTypedNumber(cyrillicE + "9", isKey), cyrillicE + "9");
    // The placeholder rule applies to the Latin form.
    EXPECT_EQ(ChooseTypedNumber("Z" + cyrillicABC, isKey), "ZABC");
    // A catalogue that holds the Cyrillic forms as well: the numbers as typed.
    keys.insert(cyrillicE + "5678");
    keys.insert("R" + cyrillicABC);
    EXPECT_EQ(ChooseTypedNumber(cyrillicE + "5678", isKey), cyrillicE + "5678");
    EXPECT_EQ(ChooseTypedNumber("Z" + cyrillicABC, isKey), "Z" + cyrillicABC);
}

TEST(SetupPathResolution, LeadingPercentColonIsTheMediumsFolder) {
    // At a drive root, as on every disc, the folder is the drive.
    EXPECT_EQ(ResolveSetupPath("%:\\Setup\\setup.exe", "D:\\installer.exe"),
              "D:\\Setup\\setup.exe");
    // In a sub-folder, never the drive's root, where anybody may have put a program.
    const std::string program = "D:\\Users\\me\\Medium\\installer.exe";
    EXPECT_EQ(ResolveSetupPath("%:\\Setup\\setup.exe", program),
              "D:\\Users\\me\\Medium\\Setup\\setup.exe");
    EXPECT_EQ(ResolveSetupPath("%:setup.exe", program), "D:\\Users\\me\\Medium\\setup.exe");
    // Any further placeholder keeps standing for the drive letter, a long path's too.
    EXPECT_EQ(ResolveSetupPath("%:\\A%B\\setup.exe", program),
              "D:\\Users\\me\\Medium\\ADB\\setup.exe");
    EXPECT_EQ(ResolveSetupPath("%\\x.exe", "\\\\?\\E:\\m\\installer.exe"),
              "\\\\?\\E:\\m\\E\\x.exe");
    // A network path's medium folder is the folder too; with no drive letter to give, a value
    // that needs one is refused rather than turned into a host name.
    EXPECT_EQ(ResolveSetupPath("%:\\s.exe", "\\\\server\\share\\m\\installer.exe"),
              "\\\\server\\share\\m\\s.exe");
    EXPECT_EQ(ResolveSetupPath("%\\Eng\\s.exe", "\\\\server\\share\\installer.exe"), "");
    EXPECT_EQ(ResolveSetupPath("%:\\100%\\s.exe", "\\\\?\\UNC\\server\\share\\installer.exe"), "");
    // Without a program folder nothing is anchored.
    EXPECT_EQ(ResolveSetupPath("%:\\x", ""), "");
}

TEST(SetupPathResolution, OnlyAbsoluteAndMediumRelativeValuesResolve) {
    const std::string program = "D:\\Medium\\installer.exe";
    EXPECT_EQ(ResolveSetupPath("English\\setup.exe", program), "D:\\Medium\\English\\setup.exe");
    EXPECT_EQ(ResolveSetupPath("A%B", program), "D:\\Medium\\A%B");
    EXPECT_EQ(ResolveSetupPath("%", program), "D:\\Medium\\D");
    EXPECT_EQ(ResolveSetupPath(" %:\\x", program), "D:\\Medium\\ %:\\x");
    // Values that name their own place are used unchanged.
    EXPECT_EQ(ResolveSetupPath("C:\\Setup\\setup.exe", program), "C:\\Setup\\setup.exe");
    EXPECT_EQ(ResolveSetupPath("\\\\host\\share\\s.exe", program), "\\\\host\\share\\s.exe");
    EXPECT_EQ(ResolveSetupPath("", program), "");
    // The current drive's root and a drive's current folder are nobody's medium.
    EXPECT_EQ(ResolveSetupPath("\\Setup\\setup.exe", program), "");
    EXPECT_EQ(ResolveSetupPath("/Setup/setup.exe", program), "");
    EXPECT_EQ(ResolveSetupPath("C:setup.exe", program), "");
    EXPECT_EQ(ResolveSetupPath("C:", program), "");
    EXPECT_EQ(ResolveSetupPath("English\\setup.exe", "installer.exe"), "");
}

TEST(SetupPathResolution, TheBuildersAndTheInstallersPlaceOfAMediumValueAreOne) {
    std::string below;
    ASSERT_TRUE(PathBelowMedium("%:\\\\English\\setup.exe", 0, below));
    EXPECT_EQ(below, "English\\setup.exe");
    // The builder knows no drive letter: it cannot name what the installer would look for.
    EXPECT_FALSE(PathBelowMedium("%:\\English\\100%\\setup.exe", 0, below));
    ASSERT_TRUE(PathBelowMedium("%:\\English\\100%\\setup.exe", 'D', below));
    EXPECT_EQ(below, "English\\100D\\setup.exe");
    EXPECT_FALSE(PathBelowMedium("C:\\setup.exe", 'D', below));
    EXPECT_EQ(DriveLetterOf("d:\\m\\installer.exe"), 'd');
    EXPECT_EQ(DriveLetterOf("\\\\?\\E:\\installer.exe"), 'E');
    EXPECT_EQ(DriveLetterOf("\\\\?\\UNC\\h\\s\\installer.exe"), '\0');
    EXPECT_EQ(DriveLetterOf("\\\\h\\s\\installer.exe"), '\0');
}

TEST(SetupPathResolution, AFullPathLiesInTheFolderOnlyBelowItWithNoDotNames) {
    const std::string folder = "D:\\Medium\\";
    EXPECT_TRUE(LiesInFolder("D:\\Medium\\English\\setup.exe", folder));
    EXPECT_FALSE(LiesInFolder("D:\\Medium", folder));
    EXPECT_FALSE(LiesInFolder("D:\\Medium\\", folder));
    EXPECT_FALSE(LiesInFolder("D:\\Medium2\\setup.exe", folder));
    EXPECT_FALSE(LiesInFolder("D:\\setup.exe", folder));
    // A long path the system leaves as it is keeps its "..".
    EXPECT_FALSE(LiesInFolder("\\\\?\\D:\\Medium\\..\\x.exe", "\\\\?\\D:\\Medium\\"));
    EXPECT_FALSE(LiesInFolder("D:\\Medium\\A\\.\\x.exe", folder));
    EXPECT_FALSE(LiesInFolder("D:\\Medium\\A\\\\x.exe", folder));
    EXPECT_FALSE(LiesInFolder("D:\\x.exe", ""));
}

TEST(LanguageIndex, FirstCharacterPicksTheRow) {
    EXPECT_EQ(LanguageIndexOf("EABC"), 0);
    EXPECT_EQ(LanguageIndexOf("GABC"), 1);
    EXPECT_EQ(LanguageIndexOf("FABC"), 2);
    EXPECT_EQ(LanguageIndexOf("IABC"), 3);
    EXPECT_EQ(LanguageIndexOf("RABC"), 4);
    EXPECT_EQ(LanguageIndexOf("XABC"), -1);
    EXPECT_EQ(LanguageIndexOf("eABC"), -1);
    EXPECT_EQ(LanguageIndexOf("ZABC"), -1);
    EXPECT_EQ(LanguageIndexOf(std::string("\0E", 2)), -1);
    EXPECT_EQ(LanguageIndexOf(""), 0);
}

}  // namespace
