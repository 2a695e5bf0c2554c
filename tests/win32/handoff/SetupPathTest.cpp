// A catalogue value's set-up path as the system makes it full: a "%" value stays in the medium's
// folder, on a drive, a network path and a long path alike.
#include <gtest/gtest.h>

#include "handoff/SetupPath.h"

namespace {

TEST(SetupPathOnMedium, PercentValuesStayInTheMediumsFolderOnceMadeFull) {
    const std::string program = "C:\\media\\disc\\installer.exe";
    EXPECT_EQ(SetupPathOnMedium("%:\\English\\..\\Russian\\.\\setup.exe", program),
              "C:\\media\\disc\\Russian\\setup.exe");
    EXPECT_EQ(SetupPathOnMedium("%:..\\..\\x.exe", program), "");
    EXPECT_EQ(SetupPathOnMedium("%:\\..\\disc2\\x.exe", program), "");
    EXPECT_EQ(SetupPathOnMedium("%:\\English\\..", program), "");
    const std::string network = "\\\\host\\share\\m\\installer.exe";
    EXPECT_EQ(SetupPathOnMedium("%:\\E\\s.exe", network), "\\\\host\\share\\m\\E\\s.exe");
    EXPECT_EQ(SetupPathOnMedium("%:..\\x.exe", network), "");
    EXPECT_EQ(SetupPathOnMedium("%\\m\\s.exe", network), "");
    EXPECT_EQ(SetupPathOnMedium("%:..\\x.exe", "\\\\?\\C:\\m\\installer.exe"), "");
    // What the catalogue's author wrote as an absolute path stays as written.
    EXPECT_EQ(SetupPathOnMedium("C:\\a\\..\\s.exe", program), "C:\\a\\..\\s.exe");
    EXPECT_EQ(SetupPathOnMedium("\\s.exe", program), "");
}

}  // namespace
