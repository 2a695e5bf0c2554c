// The Windows disk access against other openers: the sharing modes are the platform's, so a
// file other programs read loads, one another program writes is not read, one another program
// holds is not replaced, and names that no single code page
// holds work, whatever the system's code page.
#include <gtest/gtest.h>
#include <windows.h>

#include "../../unit/catalog/CatalogTestFiles.h"
#include "catalog/CatalogStore.h"
#include "catalog/DiskFile.h"
#include "catalog/ScrambledRecordFile.h"
#include "util/WideText.h"

namespace {

class Held {
  public:
    Held(const std::string& path, DWORD access, DWORD share)
        : handle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~Held() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle;
};

TEST(Win32DiskFile, AFileOthersReadLoadsAndAFileOthersHoldIsNotReplaced) {
    ScratchDir dir;
    const std::string path = dir.File("install.crt");
    const Bytes image = DiskImage(Stream().Int(0).data);
    WriteAll(path, image);
    {
        // A scanner, a backup or a second installer reading it: the catalogue loads.
        Held reader(path, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(reader.IsOpen());
        CatalogStore store;
        EXPECT_TRUE(store.Load(path));
        ScrambledRecordFile saving(24117, 51893, 30562);
        EXPECT_FALSE(saving.SaveToDisk(path, true));
    }
    {
        // A writer may be changing it under the reader: not loaded.
        Held writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.IsOpen());
        ScrambledRecordFile loading(24117, 51893, 30562);
        EXPECT_EQ(loading.Load(path, false), ScrambledRecordFile::LoadStatus::NotOpened);
    }
    EXPECT_EQ(ReadAll(path), image);
}

TEST(Win32DiskFile, SizeIsTheFilesAsTheSystemTellsIt) {
    ScratchDir dir;
    const std::string path = dir.File("install.crt");
    WriteAll(path, Bytes(70000, 0x55));
    EXPECT_EQ(DiskFile::OpenForReading(path).Size(), 70000);
}

TEST(Win32DiskFile, OpenFilesAdmitReadersOfAReaderOnly) {
    ScratchDir dir;
    const std::string path = dir.File("install.crt");
    WriteAll(path, {1, 2, 3});
    {
        DiskFile reading = DiskFile::OpenForReading(path);
        ASSERT_TRUE(reading.IsOpen());
        EXPECT_TRUE(DiskFile::OpenForReading(path).IsOpen());
        EXPECT_FALSE(Held(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
    }
    {
        DiskFile writing = DiskFile::CreateForWriting(path, DiskFile::Create::ReplaceExisting);
        ASSERT_TRUE(writing.IsOpen());
        EXPECT_FALSE(Held(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
        EXPECT_FALSE(writing.Read(nullptr, 0) >= 0);  // a writing handle does not read
    }
    EXPECT_TRUE(Held(path, GENERIC_READ, 0).IsOpen());
}

TEST(Win32DiskFile, NamesOfAnyScriptLoadAndSave) {
    ScratchDir dir;
    // Paths are UTF-8; Polish and Russian letters share no code page.
    const std::string path = dir.File("") + "Łódź-каталог.crt";
    CatalogStore store;
    store.Section("\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB").Set("R1", CatalogValue::String("x"));
    ASSERT_TRUE(store.Save(path, false));
    CatalogStore back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.GetValueText("\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB", "R1"), "x");
    const std::wstring wide = WideFromUtf8(dir.File("")) +
                              L"\u0141\u00F3d\u017A-\u043A\u0430\u0442"
                              L"\u0430\u043B\u043E\u0433.crt";
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteFileW(wide.c_str()));
}

}  // namespace
