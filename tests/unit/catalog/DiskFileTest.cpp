#include <gtest/gtest.h>

#include "CatalogTestFiles.h"
#include "catalog/DiskFile.h"

namespace {

TEST(DiskFile, ReadingAdmitsReadersAndNoWriter) {
    ScratchDir dir;
    const std::string path = dir.File("held.crt");
    WriteAll(path, {1, 2, 3});
    DiskFile first = DiskFile::OpenForReading(path);
    ASSERT_TRUE(first.IsOpen());
    EXPECT_TRUE(DiskFile::OpenForReading(path).IsOpen());
    EXPECT_FALSE(DiskFile::CreateForWriting(path, DiskFile::Create::ReplaceExisting).IsOpen());
    first.Close();
    EXPECT_EQ(ReadAll(path), (Bytes{1, 2, 3}));
    EXPECT_TRUE(DiskFile::OpenForReading(path).IsOpen());
}

TEST(DiskFile, ChunkedReadsEndWithZero) {
    ScratchDir dir;
    const std::string path = dir.File("data.bin");
    WriteAll(path, Bytes(10, 0x55));
    DiskFile file = DiskFile::OpenForReading(path);
    std::uint8_t buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 4);
    EXPECT_EQ(file.Read(buffer, 4), 4);
    EXPECT_EQ(file.Read(buffer, 4), 2);
    EXPECT_EQ(file.Read(buffer, 4), 0);
}

TEST(DiskFile, SizeIsARegularFilesOrUnknown) {
    ScratchDir dir;
    const std::string path = dir.File("sized.bin");
    WriteAll(path, Bytes(70000, 0x55));
    EXPECT_EQ(DiskFile::OpenForReading(path).Size(), 70000);
    EXPECT_EQ(DiskFile().Size(), -1);
#ifndef _WIN32
    // A folder opens for reading here, and has no size to read ahead of.
    DiskFile folder = DiskFile::OpenForReading(dir.path.string());
    ASSERT_TRUE(folder.IsOpen());
    EXPECT_EQ(folder.Size(), -1);
#endif
}

TEST(DiskFile, CreationEitherRefusesOrReplacesAnExistingFile) {
    ScratchDir dir;
    const std::string path = dir.File("out.crt");
    EXPECT_TRUE(DiskFile::CreateEmpty(path));
    EXPECT_FALSE(DiskFile::CreateEmpty(path));
    WriteAll(path, {1, 2, 3, 4});
    EXPECT_FALSE(DiskFile::CreateForWriting(path, DiskFile::Create::NewOnly).IsOpen());
    EXPECT_EQ(ReadAll(path), (Bytes{1, 2, 3, 4}));
    {
        DiskFile file = DiskFile::CreateForWriting(path, DiskFile::Create::ReplaceExisting);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("xy", 2));
        EXPECT_FALSE(DiskFile::OpenForReading(path).IsOpen());
    }
    EXPECT_EQ(ReadAll(path), (Bytes{'x', 'y'}));
}

TEST(DiskFile, MovingHandsTheHandleOver) {
    ScratchDir dir;
    const std::string path = dir.File("moved.bin");
    WriteAll(path, {1});
    DiskFile a = DiskFile::OpenForReading(path);
    DiskFile b = std::move(a);
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(b.IsOpen());
    EXPECT_EQ(a.Read(nullptr, 1), DiskFile::kReadError);
    b = DiskFile();
    EXPECT_TRUE(DiskFile::OpenForReading(path).IsOpen());
}

}  // namespace
