#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "catalog/MemoryFile.h"

namespace {

TEST(MemoryFile, GrowsInWholeStepsAndKeepsItsContent) {
    MemoryFile file;
    std::vector<std::uint8_t> chunk(700);
    std::size_t written = 0;
    for (int i = 0; i < 50; ++i) {
        for (std::size_t k = 0; k < chunk.size(); ++k) {
            chunk[k] = static_cast<std::uint8_t>(written + k);
        }
        file.Write(chunk.data(), chunk.size());
        written += chunk.size();
        EXPECT_EQ(file.GetCapacity() % MemoryFile::kGrowStep, 0u);
        EXPECT_GE(file.GetCapacity(), written);
    }
    EXPECT_EQ(file.GetLength(), written);
    file.Seek(0, MemoryFile::Origin::Begin);
    std::vector<std::uint8_t> back(written + 10);
    ASSERT_EQ(file.Read(back.data(), back.size()), written);
    for (std::size_t k = 0; k < written; ++k) {
        ASSERT_EQ(back[k], static_cast<std::uint8_t>(k));
    }
}

TEST(MemoryFile, SeeksRelativeToEachOriginAndRefusesNegativePositions) {
    MemoryFile file;
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    file.Write(bytes, sizeof bytes);
    EXPECT_EQ(file.Seek(-2, MemoryFile::Origin::End), 3u);
    EXPECT_EQ(file.Seek(1, MemoryFile::Origin::Current), 4u);
    EXPECT_EQ(file.Seek(2, MemoryFile::Origin::Begin), 2u);
    EXPECT_THROW(file.Seek(-3, MemoryFile::Origin::Current), MemoryFileError);
    EXPECT_EQ(file.GetPosition(), 2u);
}

TEST(MemoryFile, SetLengthTruncatesOrZeroExtends) {
    MemoryFile file;
    const std::uint8_t bytes[] = {9, 9, 9};
    file.Write(bytes, sizeof bytes);
    file.SetLength(1);
    EXPECT_EQ(file.GetPosition(), 1u);
    file.SetLength(4);
    std::uint8_t back[4] = {7, 7, 7, 7};
    file.Seek(0, MemoryFile::Origin::Begin);
    ASSERT_EQ(file.Read(back, 4), 4u);
    EXPECT_EQ(back[0], 9);
    EXPECT_EQ(back[1], 0);
    EXPECT_EQ(back[3], 0);
}

}  // namespace
