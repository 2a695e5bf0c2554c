#include <gtest/gtest.h>

#include <vector>

#include "handoff/ProgramSubsystem.h"

namespace {

// A program file's first bytes: "MZ", the PE header at peAt, the optional header's magic and
// subsystem.
std::vector<unsigned char> Header(unsigned peAt, unsigned magic, unsigned subsystem) {
    std::vector<unsigned char> bytes(peAt + 4 + 20 + 96, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<unsigned char>(peAt >> (8 * i));
    bytes[peAt] = 'P';
    bytes[peAt + 1] = 'E';
    bytes[peAt + 24] = static_cast<unsigned char>(magic);
    bytes[peAt + 25] = static_cast<unsigned char>(magic >> 8);
    bytes[peAt + 24 + 68] = static_cast<unsigned char>(subsystem);
    return bytes;
}

bool IsConsole(const std::vector<unsigned char>& bytes) {
    return IsConsoleProgramHeader(bytes.data(), bytes.size());
}

TEST(ProgramSubsystem, OnlyWellFormedConsoleHeadersOfEitherWidthAreConsolePrograms) {
    EXPECT_TRUE(IsConsole(Header(0x80, 0x10B, 3)));
    EXPECT_TRUE(IsConsole(Header(0x100, 0x20B, 3)));
    EXPECT_FALSE(IsConsole(Header(0x80, 0x10B, 2)));  // a windowed program
    EXPECT_FALSE(IsConsole(Header(0x80, 0x107, 3)));  // no PE32 or PE32+ magic
    std::vector<unsigned char> bytes = Header(0x80, 0x10B, 3);
    bytes[0x81] = 'X';
    EXPECT_FALSE(IsConsole(bytes));
    // Headers that reach past the bytes read, also by an offset that would wrap around.
    bytes = Header(0x80, 0x10B, 3);
    EXPECT_FALSE(IsConsoleProgramHeader(bytes.data(), 0x80 + 24 + 69));
    bytes[0x3C] = bytes[0x3D] = bytes[0x3E] = bytes[0x3F] = 0xFF;
    EXPECT_FALSE(IsConsole(bytes));
    EXPECT_FALSE(IsConsoleProgramHeader(nullptr, 0));
}

}  // namespace
