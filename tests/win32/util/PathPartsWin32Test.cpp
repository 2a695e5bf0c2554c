// The module and existence operations against the Win32 file system (under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "util/ModuleFile.h"
#include "util/PathParts.h"

namespace {

std::string ProgramPath() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length);
}

std::string DirectoryOf(const std::string& path) {
    return path.substr(0, path.rfind('\\') + 1);
}

TEST(PathModuleWin32, TheRunningProgramByPathAndByNullHandle) {
    const std::string program = ProgramPath();
    ASSERT_GT(program.size(), 3u);

    const PathParts byName(OwnProgramPath());
    EXPECT_EQ(byName.FullPath(), program);
    EXPECT_TRUE(IsCharAlphaA(byName.FullPath()[0]));
    EXPECT_EQ(byName.FullPath().substr(1, 2), ":\\");
    EXPECT_EQ(byName.Directory(), DirectoryOf(program));
    EXPECT_EQ(byName.Extension(), "exe");

    PathParts byHandle;
    EXPECT_EQ(byHandle.SetFromModule(static_cast<HMODULE>(nullptr)), program);
    EXPECT_EQ(byHandle.FileName(), byName.FileName());
    EXPECT_EQ(byHandle.Name(), byName.Name());

    PathParts catalogue("install.crt");
    EXPECT_EQ(catalogue.SetDirectoryFromModule(""), DirectoryOf(program) + "install.crt");
    EXPECT_EQ(catalogue.FileName(), "install.crt");
    EXPECT_EQ(catalogue.Name(), "install");
    EXPECT_EQ(catalogue.Extension(), "crt");
}

TEST(PathModuleWin32, LoadedLibraryByNameAndByHandle) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    char buffer[MAX_PATH] = {};
    const std::string kernelPath(buffer, GetModuleFileNameA(kernel, buffer, MAX_PATH));

    PathParts byName("setup.exe");
    EXPECT_EQ(byName.SetDirectoryFromModule("kernel32.dll"), DirectoryOf(kernelPath) + "setup.exe");
    PathParts byHandle("setup.exe");
    EXPECT_EQ(byHandle.SetDirectoryFromModule(kernel), byName.FullPath());
    PathParts whole;
    EXPECT_EQ(whole.SetFromModule(kernel), kernelPath);
}

TEST(PathModuleWin32, ModuleThatIsNotLoadedLeavesTheRecordUnchanged) {
    PathParts parts("D:\\Setup\\install.crt");
    EXPECT_EQ(parts.SetDirectoryFromModule("no-such-module.dll"), "");
    EXPECT_EQ(parts.SetFromModule("no-such-module.dll"), "");
    EXPECT_EQ(parts.SetFromModule(""), "");
    EXPECT_EQ(parts.SetFromModule(reinterpret_cast<HMODULE>(0x10)), "");
    EXPECT_EQ(parts.FullPath(), "D:\\Setup\\install.crt");
    EXPECT_EQ(parts.Directory(), "D:\\Setup\\");
    EXPECT_EQ(parts.FileName(), "install.crt");
}

class PathExistsWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        root = std::string(temp) + "pathparts-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        const HANDLE file = CreateFileA((root + "\\setup.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        ASSERT_TRUE(CreateDirectoryA((root + "\\empty").c_str(), nullptr));
    }
    void TearDown() override {
        DeleteFileA((root + "\\setup.exe").c_str());
        RemoveDirectoryA((root + "\\empty").c_str());
        RemoveDirectoryA(root.c_str());
    }
    std::string root;
};

TEST_F(PathExistsWin32, FilesDirectoriesRootsAndPatterns) {
    EXPECT_TRUE(PathParts("C:\\").Exists());
    EXPECT_TRUE(PathParts(root + "\\setup.exe").Exists());
    EXPECT_TRUE(PathParts(root + "\\empty\\").Exists());
    EXPECT_TRUE(PathParts(root + "\\empty").Exists());
    EXPECT_TRUE(PathParts(root + "\\set*.exe").Exists());
    EXPECT_TRUE(PathParts(root + "\\setup.ex?").Exists());

    const PathParts directory(root + "\\");
    EXPECT_TRUE(directory.Exists());
    EXPECT_EQ(directory.FullPath(), root + "\\");
}

TEST_F(PathExistsWin32, MissingThingsAreNotFound) {
    EXPECT_FALSE(PathParts(root + "\\missing.exe").Exists());
    EXPECT_FALSE(PathParts(root + "\\missing\\").Exists());
    EXPECT_FALSE(PathParts(root + "\\*.dll").Exists());
    EXPECT_FALSE(PathParts(root + "\\empty\\setup.exe").Exists());
    EXPECT_FALSE(PathParts("").Exists());
    EXPECT_FALSE(PathParts("\\").Exists());
    EXPECT_FALSE(PathParts(std::string("C:\\\0x", 5)).Exists());
}

// A drive whose root holds no entry at all is searched as X:\* and reported missing. The test
// run maps such a drive and names it in PATHPARTS_EMPTY_DRIVE (e.g. "Q:").
TEST_F(PathExistsWin32, EmptyDriveRootIsNotFound) {
    char drive[8] = {};
    const DWORD length = GetEnvironmentVariableA("PATHPARTS_EMPTY_DRIVE", drive, sizeof drive);
    if (length != 2) GTEST_SKIP() << "no empty drive mapped for this run";
    const std::string rootPath = std::string(drive) + "\\";
    EXPECT_FALSE(PathParts(rootPath).Exists());
    // The same root with one entry in it is found, so the drive really is there.
    const std::string marker = rootPath + "marker.txt";
    const HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(PathParts(rootPath).Exists());
    EXPECT_TRUE(DeleteFileA(marker.c_str()));
}

}  // namespace
