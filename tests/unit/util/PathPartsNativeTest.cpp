// The module and existence operations against the POSIX file system.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "util/ModuleFile.h"
#include "util/PathParts.h"

namespace {

std::string RunningProgram() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

TEST(PathModuleNative, TheRunningProgram) {
    const std::string program = RunningProgram();
    ASSERT_FALSE(program.empty());
    const PathParts parts(OwnProgramPath());
    EXPECT_EQ(parts.FullPath(), program);
    EXPECT_EQ(parts.FullPath(), parts.Directory() + parts.FileName());
    EXPECT_EQ(parts.Directory() + parts.FileName(), program);
    EXPECT_EQ(parts.FileName(), program.substr(program.rfind('/') + 1));

    PathParts catalogue("install.crt");
    const std::string directory = program.substr(0, program.rfind('/') + 1);
    EXPECT_EQ(catalogue.SetDirectoryFromModule(""), directory + "install.crt");
    EXPECT_EQ(catalogue.Directory(), directory);
    EXPECT_EQ(catalogue.FileName(), "install.crt");
    EXPECT_EQ(catalogue.Name(), "install");
    EXPECT_EQ(catalogue.Extension(), "crt");
}

TEST(PathModuleNative, LoadedLibraryIsFoundByItsFileName) {
    PathParts parts;
    const std::string path = parts.SetFromModule("libc.so.6");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(parts.FileName(), "libc.so.6");
}

TEST(PathModuleNative, UnknownModuleLeavesTheRecordUnchanged) {
    PathParts parts("D:\\Setup\\install.crt");
    EXPECT_EQ(parts.SetFromModule("no-such-module.so"), "");
    EXPECT_EQ(parts.SetFromModule(""), "");
    EXPECT_EQ(parts.SetDirectoryFromModule("no-such-module.so"), "");
    EXPECT_EQ(parts.FullPath(), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.Directory(), "D:\\Setup\\");
    EXPECT_EQ(parts.FileName(), "install.crt");
}

TEST(PathSetDirectoryNative, SlashDirectoriesGetASlash) {
    PathParts parts("install.crt");
    EXPECT_EQ(parts.SetDirectory("/media/disc"), "/media/disc/install.crt");
    EXPECT_EQ(parts.SetDirectory("/media/disc/"), "/media/disc/install.crt");
}

class PathExistsNative : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/pathparts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        std::ofstream(root + "/setup.exe") << "x";
    }
    void TearDown() override {
        unlink((root + "/setup.exe").c_str());
        rmdir(root.c_str());
    }
    std::string root;
};

TEST_F(PathExistsNative, FindsFilesDirectoriesAndPatterns) {
    const PathParts file(root + "/setup.exe");
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(file.FullPath(), root + "/setup.exe");
    EXPECT_TRUE(PathParts(root).Exists());
    EXPECT_TRUE(PathParts(root + "/").Exists());
    EXPECT_TRUE(PathParts(root + "/set*.exe").Exists());
    EXPECT_TRUE(PathParts(root + "/setup.ex?").Exists());
}

TEST_F(PathExistsNative, MissingThingsAreNotFound) {
    EXPECT_FALSE(PathParts(root + "/missing.exe").Exists());
    EXPECT_FALSE(PathParts(root + "/setup.exe/").Exists());
    EXPECT_FALSE(PathParts(root + "/*.dll").Exists());
    EXPECT_FALSE(PathParts(root + "/[s]etup.exe").Exists());
    EXPECT_FALSE(PathParts("").Exists());
    EXPECT_FALSE(PathParts(std::string("a\0b", 3)).Exists());
}

}  // namespace
