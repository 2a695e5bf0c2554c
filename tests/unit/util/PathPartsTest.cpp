#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/PathParts.h"
#include "util/PathSearch.h"

namespace {

struct Split {
    std::string path, directory, fileName, name, extension;
};

void ExpectParts(const PathParts& parts, const Split& expected) {
    SCOPED_TRACE("path: " + expected.path);
    EXPECT_EQ(parts.fullPath, expected.path);
    EXPECT_EQ(parts.directory, expected.directory);
    EXPECT_EQ(parts.fileName, expected.fileName);
    EXPECT_EQ(parts.name, expected.name);
    EXPECT_EQ(parts.extension, expected.extension);
}

const std::vector<Split>& SplitCases() {
    static const std::vector<Split> cases = {
        {"install.crt", "", "install.crt", "install", "crt"},
        {"D:\\Setup\\", "D:\\Setup\\", "", "", ""},
        {"D:\\Data.d\\readme", "D:\\Data.d\\", "readme", "readme", ""},
        {"D:\\Setup\\.profile", "D:\\Setup\\", ".profile", ".profile", ""},
        {"D:\\Setup\\archive.tar.gz", "D:\\Setup\\", "archive.tar.gz", "archive.tar", "gz"},
        {"D:\\Setup\\file.", "D:\\Setup\\", "file.", "file", ""},
        {"", "", "", "", ""},
        {"D:file.txt", "", "D:file.txt", "D:file", "txt"},
        {"\\", "\\", "", "", ""},
        {"D:\\a\\b\\setup.exe", "D:\\a\\b\\", "setup.exe", "setup", "exe"},
        // cp1251 text: "Установка\setup.exe"
        {"\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0\\setup.exe",
         "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0\\", "setup.exe", "setup", "exe"},
    };
    return cases;
}

TEST(PathSplit, BothConstructionFormsSplitAlike) {
    for (const Split& c : SplitCases()) {
        ExpectParts(PathParts(c.path), c);
        ExpectParts(PathParts(c.path.c_str()), c);
    }
}

TEST(PathSplit, NullAndDefaultGiveEmptyFields) {
    const Split empty{"", "", "", "", ""};
    ExpectParts(PathParts(static_cast<const char*>(nullptr)), empty);
    ExpectParts(PathParts(), empty);
}

TEST(PathCompose, EveryOperationKeepsFullPathEqualToDirectoryAndFileName) {
    for (const Split& c : SplitCases()) {
        SCOPED_TRACE(c.path);
        PathParts parts(c.path);
        EXPECT_EQ(parts.Compose(), c.path);
        parts.SetFileName("x.y");
        EXPECT_EQ(parts.fullPath, parts.directory + parts.fileName);
        parts.SetDirectory("E:\\Other");
        EXPECT_EQ(parts.fullPath, parts.directory + parts.fileName);
        EXPECT_EQ(parts.fullPath, "E:\\Other\\x.y");
    }
}

TEST(PathCompose, ComposeIgnoresNameAndExtension) {
    PathParts parts("D:\\Setup\\setup.exe");
    parts.name = "other";
    parts.extension = "txt";
    EXPECT_EQ(parts.Compose(), "D:\\Setup\\setup.exe");
}

TEST(PathSetDirectory, AppendsOneBackslashOnlyWhenMissing) {
    PathParts parts("install.crt");
    EXPECT_EQ(parts.SetDirectory("D:\\Setup"), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.directory, "D:\\Setup\\");
    EXPECT_EQ(parts.SetDirectory("D:\\Setup\\"), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.directory, "D:\\Setup\\");
    EXPECT_EQ(parts.SetDirectory("D:\\"), "D:\\install.crt");
    EXPECT_EQ(parts.fileName, "install.crt");
    EXPECT_EQ(parts.name, "install");
    EXPECT_EQ(parts.extension, "crt");
}

TEST(PathSetDirectory, EmptyDirectoryLeavesTheNameRelative) {
    PathParts parts("D:\\Setup\\install.crt");
    EXPECT_EQ(parts.SetDirectory(""), "install.crt");
    EXPECT_EQ(parts.directory, "");
}

TEST(PathSetFileName, SetsNameAndExtensionLikeTheSplit) {
    PathParts parts("D:\\Setup\\old.txt");
    EXPECT_EQ(parts.SetFileName("setup.tar.gz"), "D:\\Setup\\setup.tar.gz");
    EXPECT_EQ(parts.name, "setup.tar");
    EXPECT_EQ(parts.extension, "gz");
    EXPECT_EQ(parts.SetFileName(".profile"), "D:\\Setup\\.profile");
    EXPECT_EQ(parts.name, ".profile");
    EXPECT_EQ(parts.extension, "");
    EXPECT_EQ(parts.SetFileName("readme"), "D:\\Setup\\readme");
    EXPECT_EQ(parts.name, "readme");
    EXPECT_EQ(parts.extension, "");
    EXPECT_EQ(parts.directory, "D:\\Setup\\");
}

TEST(PathSetFileName, LeavesTheCallersStringAlone) {
    const std::string given = "a.b";
    PathParts parts("D:\\x\\");
    parts.SetFileName(given);
    parts.SetDirectory(given);
    EXPECT_EQ(given, "a.b");
    EXPECT_EQ(parts.fullPath, "a.b\\a.b");
}

// A double-byte code page whose lead bytes are 0x81..0x9F and 0xE0..0xFC; its trail bytes may be
// 0x5C (backslash) or 0x2E (dot).
bool TestLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
bool NoLeadByte(unsigned char) {
    return false;
}

TEST(PathSearch, TrailBytesAreNeverSeparators) {
    const std::string text = "D:\\\x95\\dir\\\x95\\";  // two double-byte characters ending in 0x5C
    EXPECT_EQ(FindLastSeparator(text, '\\', TestLeadByte), 8u);
    EXPECT_EQ(FindLastSeparator(text, '\\', NoLeadByte), text.size() - 1);
    EXPECT_FALSE(EndsWithSeparator(text, '\\', TestLeadByte));
    EXPECT_TRUE(EndsWithSeparator(text, '\\', NoLeadByte));

    const std::string dotted = "name\x81.";  // 0x81 0x2E is one character
    EXPECT_EQ(FindLastSeparator(dotted, '.', TestLeadByte), std::string::npos);
    EXPECT_EQ(FindLastSeparator("a.b\x81.c", '.', TestLeadByte), 1u);
}

TEST(PathSearch, LeadByteAtTheEndStandsAlone) {
    EXPECT_EQ(FindLastSeparator("a\\\x95", '\\', TestLeadByte), 1u);
    EXPECT_EQ(FindLastSeparator("", '\\', TestLeadByte), std::string::npos);
    EXPECT_FALSE(EndsWithSeparator("", '\\', TestLeadByte));
}

TEST(PathExistenceQuery, DriveRootsAndDirectoriesBecomeSearches) {
    EXPECT_EQ(ExistenceQuery("D:\\", NoLeadByte), "D:\\*");
    EXPECT_EQ(ExistenceQuery("D:\\Setup\\", NoLeadByte), "D:\\Setup");
    EXPECT_EQ(ExistenceQuery("D:\\Setup\\setup.exe", NoLeadByte), "D:\\Setup\\setup.exe");
    EXPECT_EQ(ExistenceQuery("D:", NoLeadByte), "D:");
    EXPECT_EQ(ExistenceQuery("\\", NoLeadByte), "");
    EXPECT_EQ(ExistenceQuery("", NoLeadByte), "");
    // Only the first matching rule applies: a root keeps its backslash.
    EXPECT_EQ(ExistenceQuery("\\\\srv\\share:\\", NoLeadByte), "\\\\srv\\share:\\*");
    // A directory whose name ends in a double-byte character with a 0x5C trail byte is not cut.
    EXPECT_EQ(ExistenceQuery("D:\\\x95\\", TestLeadByte), "D:\\\x95\\");
}

}  // namespace
