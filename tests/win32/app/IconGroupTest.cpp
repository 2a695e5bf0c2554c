// The program's icon group (RT_GROUP_ICON 128) in the built installer.exe, as Windows picks
// images from it: a 48 px image for the About box and Explorer's large icons, a PNG-compressed
// 256 px one for Explorer's biggest views, and the 16 and 32 px images as they have always been.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "ProgramFile.h"
#include "ui/resource.h"

namespace {

using app_test::ProgramFile;
using app_test::ProgramPath;

// FNV-1a, 64 bits.
std::uint64_t Fingerprint(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// Each image of the group by its size in pixels (a stored 0 means 256).
std::map<int, std::string> GroupImages(const ProgramFile& program) {
    const std::string group = program.Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    std::map<int, std::string> images;
    const size_t headerSize = 6;
    const size_t entrySize = 14;
    if (group.size() < headerSize) return images;
    const int count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5])
                                                                 << 8;
    for (int i = 0; i < count && headerSize + (i + 1) * entrySize <= group.size(); ++i) {
        const char* entry = group.data() + headerSize + i * entrySize;
        const int width = static_cast<unsigned char>(entry[0]);
        const WORD id =
            static_cast<unsigned char>(entry[12]) | static_cast<unsigned char>(entry[13]) << 8;
        images[width == 0 ? 256 : width] = program.Resource(RT_ICON, id);
    }
    return images;
}

TEST(InstallerIcon, HoldsTheSizesWindowsShowsWithTheSmallImagesUnchanged) {
    const ProgramFile program(ProgramPath());
    ASSERT_NE(program.Get(), nullptr) << ProgramPath() << ": error " << GetLastError();
    const std::map<int, std::string> images = GroupImages(program);
    std::string sizes;
    for (const auto& image : images) sizes += std::to_string(image.first) + " ";
    ASSERT_EQ(sizes, "16 32 48 256 ");

    EXPECT_EQ(Fingerprint(images.at(16)), 0x985fddbe6d615f70ull) << images.at(16).size();
    EXPECT_EQ(Fingerprint(images.at(32)), 0xd9a0454e2ad7d3acull) << images.at(32).size();
    // The PNG signature, then IHDR with a width and height of 256.
    const std::string& large = images.at(256);
    EXPECT_EQ(large.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(large.substr(12, 12), std::string("IHDR\0\0\1\0\0\0\1\0", 12));
}

}  // namespace
