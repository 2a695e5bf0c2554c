#include <gtest/gtest.h>

#include "TextForm.h"

namespace {

const std::string kArticles = "\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB";  // "Артикулы" in cp1251
const std::string kArticlesUtf8 =
    "\xD0\x90\xD1\x80\xD1\x82\xD0\xB8\xD0\xBA\xD1\x83\xD0\xBB\xD1\x8B";

void ParseInto(const std::string& text, CatalogStore& store) {
    std::string error;
    EXPECT_TRUE(textform::Parse(text, "src.txt", store, error)) << error;
}

std::string ParseError(const std::string& text) {
    CatalogStore store;
    std::string error;
    EXPECT_FALSE(textform::Parse(text, "src.txt", store, error)) << text;
    return error;
}

TEST(TextFormParse, EveryValueKindNameFormAndLineShape) {
    const std::string text =
        "\xEF\xBB\xBF; a comment\r\n"
        "[" +
        kArticlesUtf8 +
        "]\r\n"
        "R1234 S \"%:\\Russian\\setup.exe\"   ; trailing comment\n"
        "  \"with space\"\tS \"say \"\"hi\"\"\"\n"
        "TAB S \"a\"#09\"b\"\n"
        "EMPTY S \"\"\n"
        "N I -2147483648\n"
        "P I +7\n"
        "T B true\n"
        "F B 0\n"
        "BLOB H 00ff 10\n"
        "NONE H\n"
        "Q Q\n"
        "#01 #5A\n"
        "\n"
        "[\"\"]\n";
    CatalogStore store;
    ParseInto(text, store);
    EXPECT_EQ(store.Sections().size(), 2u);
    const CatalogSection& a = *store.FindSection(kArticles);
    EXPECT_EQ(a.Size(), 12u);
    EXPECT_EQ(a.Find("R1234")->Text(), "%:\\Russian\\setup.exe");
    EXPECT_EQ(a.Find("with space")->Text(), "say \"hi\"");
    EXPECT_EQ(a.Find("TAB")->Text(), "a\tb");
    EXPECT_EQ(a.Find("EMPTY")->length, 1u);
    EXPECT_EQ(static_cast<std::int32_t>(a.Find("N")->Word()), -2147483647 - 1);
    EXPECT_EQ(a.Find("P")->Word(), 7u);
    EXPECT_EQ(a.Find("T")->Word(), 1u);
    EXPECT_EQ(a.Find("F")->Word(), 0u);
    ASSERT_EQ(a.Find("BLOB")->length, 3u);
    EXPECT_EQ(a.Find("BLOB")->bytes[1], 0xFF);
    EXPECT_EQ(a.Find("NONE")->length, 0u);
    EXPECT_EQ(a.Find("Q")->type, 'Q');
    EXPECT_EQ(a.Find("\x01")->type, 'Z');
    EXPECT_NE(store.FindSection(""), nullptr);
}

TEST(TextFormParse, FaultsNameTheLineAndWhatIsWrong) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const std::string head = "[A]\n";
    const Case cases[] = {
        {"K S \"x\"\n", "src.txt:1: entry before the first [section]"},
        {head + "K SS \"x\"\n", "src.txt:2: type letter expected"},
        {head + "K S x\n", "src.txt:2: quoted text expected"},
        {head + "K S \"open\n", "src.txt:2: text not closed by a quote"},
        {head + "K S \"a\"#00\n", "src.txt:2: a text cannot hold a zero byte"},
        {head + "K S #G1\n", "src.txt:2: # must be followed by two hex digits"},
        {head + "K I 2147483648\n", "src.txt:2: I value 2147483648 is outside the 32-bit range"},
        {head + "K I 12x\n", "src.txt:2: I needs a decimal integer"},
        {head + "K B yes\n", "src.txt:2: B needs true or false"},
        {head + "K H 0\n", "src.txt:2: H needs whole bytes"},
        {head + "K H zz\n", "src.txt:2: H needs hex digits"},
        {head + "K S \"x\" \"y\" z\n", "src.txt:2: unexpected text after the value"},
        {head + "K X 5\n", "src.txt:2: unexpected text after the type letter"},
        {head + "K S \"x\"\n\nK I 1\n", "src.txt:4: key K was already given on line 2"},
        {head + "[B]\n[A]\n", "src.txt:3: section A was already given on line 1"},
        {head + "[B\n", "src.txt:2: ] expected"},
        {head + "K S \"\xC3\x28\"\n", "src.txt:2: invalid UTF-8 (byte 0xC3 at column 6)"},
        {head + "K S \"\xE4\xB8\xAD\"\n", "src.txt:2: U+4E2D"},
        {head + "\xC3\xA9 S \"x\"\n", "src.txt:2: U+00E9"},
        {head + "S\n", "src.txt:2: type letter expected"},
    };
    for (const Case& c : cases) {
        const std::string error = ParseError(c.text);
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "got: " << error;
    }
}

TEST(TextFormPrint, CanonicalFormIsSortedAndQuotesOnlyWhereNeeded) {
    CatalogStore store;
    CatalogSection& a = store.Section(kArticles);
    a.Set("R1", CatalogValue::String("%:\\A b\\\"q\".exe"));
    a.Set("E1", CatalogValue::String("line\nnext\x98"));
    a.Set("key;x", CatalogValue::Integer(-5));
    a.Set("B", CatalogValue::Truth(true));
    a.Set("H", CatalogValue::Blob("\x01\xAB"));
    a.Set("H0", CatalogValue::Blob(""));
    a.Set("O", CatalogValue::Untyped('\x01'));
    store.Section("Second");
    EXPECT_EQ(textform::Print(store),
              "[Second]\n"
              "\n"
              "[" +
                  kArticlesUtf8 +
                  "]\n"
                  "B B true\n"
                  "E1 S \"line\"#0A\"next\"#98\n"
                  "H H 01AB\n"
                  "H0 H\n"
                  "O #01\n"
                  "R1 S \"%:\\A b\\\"\"q\"\".exe\"\n"
                  "\"key;x\" I -5\n");
}

TEST(TextFormRoundTrip, AnyBytesInNamesAndTextsComeBackExactly) {
    std::string every;
    for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
    CatalogStore store;
    CatalogSection& s = store.Section(every);
    s.Set(every, CatalogValue::String(every));
    s.Set("\"", CatalogValue::String("\""));
    s.Set(" lead", CatalogValue::String(" "));
    s.Set("[x]", CatalogValue::Blob(every));
    s.Set("#41", CatalogValue::Untyped('#'));
    const std::string printed = textform::Print(store);
    CatalogStore back;
    ParseInto(printed, back);
    EXPECT_EQ(textform::Print(back), printed);
    const CatalogSection* section = back.FindSection(every);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(section->Find(every), nullptr);
    EXPECT_EQ(section->Find(every)->Text(), every);
    EXPECT_EQ(section->Find("#41")->type, '#');
}

}  // namespace
