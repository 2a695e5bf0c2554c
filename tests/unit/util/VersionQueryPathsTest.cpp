#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/VersionQueryPaths.h"

namespace {

using Paths = std::vector<std::string>;

TEST(VersionQueryPaths, OtherCodePagesFallBackToTheUtf16TableOfTheSameLanguage) {
    // 67699940 is 0x040904E4: US English, Western European code page.
    EXPECT_EQ(StringValuePaths("FileVersion", 67699940u),
              (Paths{"\\StringFileInfo\\040904E4\\FileVersion",
                     "\\StringFileInfo\\040904B0\\FileVersion"}));
    EXPECT_EQ(StringValuePaths("LegalCopyright", 0x041904E3u),
              (Paths{"\\StringFileInfo\\041904E3\\LegalCopyright",
                     "\\StringFileInfo\\041904B0\\LegalCopyright"}));
}

TEST(VersionQueryPaths, Utf16CodePageGetsExactlyOneLookup) {
    EXPECT_EQ(StringValuePaths("FileVersion", 0x040904B0u),
              (Paths{"\\StringFileInfo\\040904B0\\FileVersion"}));
    EXPECT_EQ(StringValuePaths("X", 0xFFFF04B0u), (Paths{"\\StringFileInfo\\FFFF04B0\\X"}));
}

TEST(VersionQueryPaths, KeysAreEightUpperCaseDigitsWithLeadingZeros) {
    EXPECT_EQ(StringValuePaths("v", 0x00000001u),
              (Paths{"\\StringFileInfo\\00000001\\v", "\\StringFileInfo\\000004B0\\v"}));
    EXPECT_EQ(StringValuePaths("v", 0xABCDEF12u),
              (Paths{"\\StringFileInfo\\ABCDEF12\\v", "\\StringFileInfo\\ABCD04B0\\v"}));
    // Only the low 16 bits decide: 0x04B00000 is language 0x04B0 with code page 0.
    EXPECT_EQ(StringValuePaths("", 0x04B00000u).size(), 2u);
    // A name with format characters is taken literally.
    EXPECT_EQ(StringValuePaths("%s%n", 0x040904B0u), (Paths{"\\StringFileInfo\\040904B0\\%s%n"}));
}

}  // namespace
