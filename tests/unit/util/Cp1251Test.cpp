#include <gtest/gtest.h>

#include "util/Cp1251.h"

namespace {

TEST(Cp1251Table, KnownLettersAndTheUnassignedByte) {
    EXPECT_EQ(cp1251::ToUnicode(0xC0), 0x0410);  // А
    EXPECT_EQ(cp1251::ToUnicode(0xFF), 0x044F);  // я
    EXPECT_EQ(cp1251::ToUnicode(0xA8), 0x0401);  // Ё
    EXPECT_EQ(cp1251::ToUnicode(0xB8), 0x0451);  // ё
    EXPECT_EQ(cp1251::ToUnicode(0xB9), 0x2116);  // №
    EXPECT_EQ(cp1251::ToUnicode(0x88), 0x20AC);  // €
    EXPECT_EQ(cp1251::ToUnicode(0x98), -1);
    EXPECT_EQ(cp1251::FromUnicode(0x0451), 0xB8);
    EXPECT_EQ(cp1251::FromUnicode(0x00E9), -1);  // é is not in the code page
    EXPECT_EQ(cp1251::FromUnicode(0xFFFD), -1);
}

TEST(Cp1251Table, EveryAssignedByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != 0x98) all += static_cast<char>(b);
    }
    std::string back;
    std::string error;
    ASSERT_TRUE(cp1251::FromUtf8(cp1251::ToUtf8(all), back, error)) << error;
    EXPECT_EQ(back, all);
    EXPECT_EQ(cp1251::ToUtf8("\xC0\xF0"), "\xD0\x90\xD1\x80");  // "Ар"
    EXPECT_EQ(cp1251::ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Cp1251Utf8, MalformedAndForeignInputIsRefusedByName) {
    struct Case {
        std::string utf8;
        const char* message;
    };
    const Case cases[] = {
        {"ab\x80", "invalid UTF-8 (byte 0x80 at offset 2)"},
        {"\xC0\x80", "invalid UTF-8 (byte 0xC0 at offset 0)"},  // overlong zero
        {"\xED\xA0\x80", "invalid UTF-8"},                      // surrogate
        {"\xE2\x82", "invalid UTF-8"},                          // cut short
        {"\xF4\x90\x80\x80", "invalid UTF-8"},                  // past U+10FFFF
        {"\xE4\xB8\xAD", "U+4E2D '\xE4\xB8\xAD' cannot be written in cp1251"},
        {"\xF0\x9F\x98\x80", "U+1F600"},
    };
    for (const Case& c : cases) {
        std::string bytes = "unchanged";
        std::string error;
        EXPECT_FALSE(cp1251::FromUtf8(c.utf8, bytes, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(bytes, "unchanged");
    }
}

TEST(Cp1251Utf16, TextsCrossToWindowsAndBack) {
    EXPECT_EQ(cp1251::ToUtf16("R1\xC0\xFF\x98"), u"R1\u0410\u044F\uFFFD");
    std::string bytes = "unchanged";
    ASSERT_TRUE(
        cp1251::FromUtf16(u"\u0415"
                          u"5678",
                          bytes));  // Cyrillic capital Ie
    EXPECT_EQ(bytes,
              "\xC5"
              "5678");
    bytes = "unchanged";
    EXPECT_FALSE(cp1251::FromUtf16(u"E\u0141", bytes));  // Ł has no byte: no lookup of a '?'
    EXPECT_FALSE(cp1251::FromUtf16(u"E\xD83D", bytes));
    EXPECT_EQ(bytes, "unchanged");
}

TEST(Cp1251Utf16, PathsGoThroughUtf8WithoutLoss) {
    const std::u16string path =
        u"C:\\\u0141\u00F3d\u017A\\\u0414\u0438\u0441\u043A\\"
        u"\U0001F600\xDC00x\\setup.exe";
    const std::string utf8 = cp1251::Utf16ToUtf8(path);
    EXPECT_EQ(utf8.substr(0, 8),
              "C:\\\xC5\x81\xC3\xB3"
              "d");
    EXPECT_EQ(cp1251::Utf8ToUtf16(utf8), path);
    EXPECT_EQ(cp1251::Utf8ToUtf16("a\xFF"
                                  "b"),
              u"a\uFFFDb");
}

}  // namespace
