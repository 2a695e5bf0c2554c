// The version reader on purpose-built modules beside the test program (under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "util/PathParts.h"
#include "util/VersionInfoReader.h"
#include "util/WideText.h"

namespace {

constexpr DWORD kWesternUsEnglish = 67699940;  // 0x040904E4, what the About box asks with
constexpr DWORD kUtf16UsEnglish = 0x040904B0;

std::string ModulePath(const char* fileName) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, length);
    return path.substr(0, path.rfind('\\') + 1) + fileName;
}

void ExpectEmpty(const VersionInfoReader& reader) {
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_EQ(reader.DataSize(), 0u);
}

struct LoadedModule {
    explicit LoadedModule(const char* fileName)
        : handle(LoadLibraryA(ModulePath(fileName).c_str())) {}
    ~LoadedModule() {
        if (handle != nullptr) FreeLibrary(handle);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE handle;
};

TEST(VersionLoad, ReadsTheRootBlockOfEachModule) {
    struct Case {
        const char* file;
        DWORD fileVersionMS, fileVersionLS;
    };
    for (const Case& c : {Case{"vi_utf16_table.dll", 0x00010002, 0x00030004},
                          Case{"vi_western_table.dll", 0x00050006, 0x00070008},
                          Case{"vi_empty_first.dll", 0x00090009, 0x00090009}}) {
        SCOPED_TRACE(c.file);
        VersionInfoReader reader;
        ASSERT_TRUE(reader.LoadFile(ModulePath(c.file).c_str()));
        EXPECT_TRUE(reader.IsLoaded());
        EXPECT_GT(reader.DataSize(), sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(reader.FixedInfo().dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(reader.FixedInfo().dwFileVersionMS, c.fileVersionMS);
        EXPECT_EQ(reader.FixedInfo().dwFileVersionLS, c.fileVersionLS);
    }
}

TEST(VersionLoad, FilesWithoutAResourceLeaveTheReaderEmpty) {
    VersionInfoReader reader;
    EXPECT_FALSE(reader.LoadFile(ModulePath("vi_no_version.dll").c_str()));
    ExpectEmpty(reader);
    EXPECT_FALSE(reader.LoadFile(ModulePath("vi_missing.dll").c_str()));
    ExpectEmpty(reader);
    EXPECT_FALSE(reader.LoadFile(""));
    EXPECT_FALSE(reader.LoadFile(nullptr));
    ExpectEmpty(reader);

    // A loaded reader that fails its next load is empty again.
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_utf16_table.dll").c_str()));
    EXPECT_FALSE(reader.LoadFile(ModulePath("vi_no_version.dll").c_str()));
    ExpectEmpty(reader);
    EXPECT_EQ(reader.FixedInfo().dwSignature, 0u);
}

TEST(VersionLoad, AModuleWhosePathIsLongerThan260Characters) {
    // Folders nested past the old 260-character limit, made through the long-path form.
    std::wstring folder = WideFromUtf8(ModulePath(""));
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    for (int i = 0; folder.size() < 300; ++i) {
        folder += L"\\long-folder-name-" + std::to_wstring(i);
        CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    const std::wstring copy = folder + L"\\vi_utf16_table.dll";
    ASSERT_TRUE(CopyFileW(WideFromUtf8(ModulePath("vi_utf16_table.dll")).c_str(),
                          (L"\\\\?\\" + copy).c_str(), FALSE));
    const HMODULE module = LoadLibraryW((L"\\\\?\\" + copy).c_str());
    ASSERT_NE(module, nullptr);
    VersionInfoReader reader;
    EXPECT_TRUE(reader.Load(module));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"1.2.3.4");
    PathParts path;
    EXPECT_GT(path.SetFromModule(module).size(), 300u);
    EXPECT_EQ(path.FileName(), "vi_utf16_table.dll");
    FreeLibrary(module);
}

TEST(VersionLoad, ModuleHandles) {
    VersionInfoReader own;
    ASSERT_TRUE(own.Load(nullptr));
    EXPECT_EQ(own.GetString("FileVersion", kWesternUsEnglish), L"3.1.4.1");

    const LoadedModule module("vi_western_table.dll");
    ASSERT_NE(module.handle, nullptr);
    VersionInfoReader reader;
    ASSERT_TRUE(reader.Load(module.handle));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"5.6.7.8");

    const LoadedModule none("vi_no_version.dll");
    ASSERT_NE(none.handle, nullptr);
    EXPECT_FALSE(reader.Load(none.handle));
    ExpectEmpty(reader);
    EXPECT_FALSE(reader.Load(reinterpret_cast<HMODULE>(0x10)));
    ExpectEmpty(reader);
}

TEST(VersionGetString, Utf16TableIsFoundThroughTheSecondLookup) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_utf16_table.dll").c_str()));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"1.2.3.4");
    EXPECT_EQ(reader.GetString("LegalCopyright", kWesternUsEnglish), L"Copyright test maker");
    EXPECT_EQ(reader.GetString("FileVersion", kUtf16UsEnglish), L"1.2.3.4");
    // Texts come as the resource holds them, whatever the system's code page.
    EXPECT_EQ(reader.GetString("Comments", kUtf16UsEnglish), L"Версия для проверки");
}

TEST(VersionGetString, NoOtherLanguageIsTried) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_utf16_table.dll").c_str()));
    // Russian, UTF-16: its one lookup is 041904B0, which the module lacks.
    EXPECT_EQ(reader.GetString("FileVersion", 0x041904B0), L"");
    // Russian, Western European: 041904E4, then 041904B0; neither is there.
    EXPECT_EQ(reader.GetString("FileVersion", 0x041904E4), L"");
    EXPECT_EQ(reader.GetString("ProductName", kWesternUsEnglish), L"");
    EXPECT_EQ(reader.GetString("", kWesternUsEnglish), L"");
    EXPECT_EQ(reader.GetString(nullptr, kWesternUsEnglish), L"");
}

TEST(VersionGetString, FirstKeyWinsAndEachNameFallsBackOnItsOwn) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_western_table.dll").c_str()));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"5.6.7.8");
    EXPECT_EQ(reader.GetString("LegalCopyright", kWesternUsEnglish), L"only in the UTF-16 table");
    EXPECT_EQ(reader.GetString("FileVersion", kUtf16UsEnglish), L"from the UTF-16 table");
}

TEST(VersionGetString, EmptyValueUnderTheFirstKeyFallsBack) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_empty_first.dll").c_str()));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"9.9.9.9");
    EXPECT_EQ(reader.GetString("LegalCopyright", kWesternUsEnglish), L"western copyright");
}

TEST(VersionGetString, TextEndsAtItsFirstNul) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_utf16_table.dll").c_str()));
    const char* path = "\\StringFileInfo\\040904B0\\FileVersion";
    // The platform's length counts the terminating NUL as well; the string does not.
    EXPECT_GT(reader.QueryValueLength(path), 7u);
    const std::wstring text = reader.GetString("FileVersion", kUtf16UsEnglish);
    EXPECT_EQ(text.size(), 7u);
    EXPECT_EQ(std::wcslen(text.c_str()), text.size());
}

TEST(VersionValues, LengthsAndCopies) {
    VersionInfoReader reader;
    ASSERT_TRUE(reader.LoadFile(ModulePath("vi_utf16_table.dll").c_str()));
    EXPECT_EQ(reader.QueryValueLength("\\"), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO root{};
    EXPECT_FALSE(reader.CopyValue("\\", &root, sizeof root - 1));
    EXPECT_EQ(root.dwSignature, 0u);
    EXPECT_TRUE(reader.CopyValue("\\", &root, sizeof root));
    EXPECT_EQ(std::memcmp(&root, &reader.FixedInfo(), sizeof root), 0);

    DWORD translation = 0;
    ASSERT_EQ(reader.QueryValueLength("\\VarFileInfo\\Translation"), 4u);
    EXPECT_TRUE(reader.CopyValue("\\VarFileInfo\\Translation", &translation, sizeof translation));
    EXPECT_EQ(translation, 0x04B00409u);

    char buffer[8] = {};
    EXPECT_EQ(reader.QueryValueLength("\\StringFileInfo\\040904E4\\FileVersion"), 0u);
    EXPECT_FALSE(reader.CopyValue("\\StringFileInfo\\040904E4\\FileVersion", buffer, 8));
    EXPECT_FALSE(reader.CopyValue("\\", nullptr, 52));
    EXPECT_EQ(reader.QueryValueLength(nullptr), 0u);
}

TEST(VersionValues, AnEmptyReaderAnswersNothing) {
    VersionInfoReader reader;
    ExpectEmpty(reader);
    char buffer[64] = {};
    EXPECT_EQ(reader.QueryValueLength("\\"), 0u);
    EXPECT_FALSE(reader.CopyValue("\\", buffer, sizeof buffer));
    EXPECT_EQ(reader.GetString("FileVersion", kWesternUsEnglish), L"");
}

}  // namespace
