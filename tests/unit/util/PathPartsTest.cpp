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
    EXPECT_EQ(parts.FullPath(), expected.path);
    EXPECT_EQ(parts.Directory(), expected.directory);
    EXPECT_EQ(parts.FileName(), expected.fileName);
    EXPECT_EQ(parts.Name(), expected.name);
    EXPECT_EQ(parts.Extension(), expected.extension);
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
        EXPECT_EQ(parts.FullPath(), c.path);
        parts.SetFileName("x.y");
        EXPECT_EQ(parts.FullPath(), parts.Directory() + parts.FileName());
        parts.SetDirectory("E:\\Other");
        EXPECT_EQ(parts.FullPath(), parts.Directory() + parts.FileName());
        EXPECT_EQ(parts.FullPath(), "E:\\Other\\x.y");
    }
}

TEST(PathSetDirectory, AppendsOneBackslashOnlyWhenMissing) {
    PathParts parts("install.crt");
    EXPECT_EQ(parts.SetDirectory("D:\\Setup"), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.Directory(), "D:\\Setup\\");
    EXPECT_EQ(parts.SetDirectory("D:\\Setup\\"), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.Directory(), "D:\\Setup\\");
    EXPECT_EQ(parts.SetDirectory("D:\\"), "D:\\install.crt");
    EXPECT_EQ(parts.FileName(), "install.crt");
    EXPECT_EQ(parts.Name(), "install");
    EXPECT_EQ(parts.Extension(), "crt");
}

TEST(PathSetDirectory, EmptyDirectoryLeavesTheNameRelative) {
    PathParts parts("D:\\Setup\\install.crt");
    EXPECT_EQ(parts.SetDirectory(""), "install.crt");
    EXPECT_EQ(parts.Directory(), "");
}

TEST(PathSetFileName, SetsNameAndExtensionLikeTheSplit) {
    PathParts parts("D:\\Setup\\old.txt");
    EXPECT_EQ(parts.SetFileName("setup.tar.gz"), "D:\\Setup\\setup.tar.gz");
    EXPECT_EQ(parts.Name(), "setup.tar");
    EXPECT_EQ(parts.Extension(), "gz");
    EXPECT_EQ(parts.SetFileName(".profile"), "D:\\Setup\\.profile");
    EXPECT_EQ(parts.Name(), ".profile");
    EXPECT_EQ(parts.Extension(), "");
    EXPECT_EQ(parts.SetFileName("readme"), "D:\\Setup\\readme");
    EXPECT_EQ(parts.Name(), "readme");
    EXPECT_EQ(parts.Extension(), "");
    EXPECT_EQ(parts.Directory(), "D:\\Setup\\");
}

TEST(PathSetFileName, LeavesTheCallersStringAlone) {
    const std::string given = "a.b";
    PathParts parts("D:\\x\\");
    parts.SetFileName(given);
    parts.SetDirectory(given);
    EXPECT_EQ(given, "a.b");
    EXPECT_EQ(parts.FullPath(), "a.b\\a.b");
}

TEST(PathExistenceQuery, DriveRootsAndDirectoriesBecomeSearches) {
    EXPECT_EQ(ExistenceQuery("D:\\"), "D:\\*");
    EXPECT_EQ(ExistenceQuery("D:\\Setup\\"), "D:\\Setup");
    EXPECT_EQ(ExistenceQuery("D:\\Setup\\setup.exe"), "D:\\Setup\\setup.exe");
    EXPECT_EQ(ExistenceQuery("D:"), "D:");
    EXPECT_EQ(ExistenceQuery("\\"), "");
    EXPECT_EQ(ExistenceQuery(""), "");
    // Only the first matching rule applies: a root keeps its backslash.
    EXPECT_EQ(ExistenceQuery("\\\\srv\\share:\\"), "\\\\srv\\share:\\*");
}

}  // namespace
