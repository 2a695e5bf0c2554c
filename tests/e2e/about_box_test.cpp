// The About box as a user meets it: opened from the product selection dialog's system menu, it
// shows the version read from the program's own version resource and closes back to the
// unchanged dialog.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "VersionResourceSwap.h"
#include "driver/Driver.h"
#include "support/ScreenCapture.h"
#include "ui/AboutDialog.h"
#include "ui/resource.h"
#include "util/WideText.h"

namespace {

using e2e::Installer;
using e2e::TempMedium;
using support::Cp1251;

BOOL CALLBACK CollectVisibleStatic(HWND child, LPARAM param) {
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    char text[256] = {};
    // The icon static's text is its resource number, not a line.
    const bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (std::string(name) == "Static" && !icon && IsWindowVisible(child) &&
        GetWindowTextA(child, text, sizeof text) > 0)
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(support::ToUtf8(text));
    return TRUE;
}

// The texts of a window's visible text statics, in template order (UTF-8).
std::vector<std::string> VisibleStaticTexts(HWND window) {
    std::vector<std::string> texts;
    EnumChildWindows(window, &CollectVisibleStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

class AboutBox : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(medium.WriteCatalog({{"E100", medium.DriveRelative("English\\setup.exe")}}));
        PrepareProgram();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(installer.Start(medium));
        mainDialog = installer.WaitWindow(Cp1251("Добро пожаловать"));
        ASSERT_NE(mainDialog, nullptr) << installer.Describe();
    }

    void TearDown() override {
        if (HasFailure()) std::cout << installer.Describe();
    }

    // Changes the medium's copy of the program before it starts.
    virtual void PrepareProgram() {}

    // Sends a system command to the product selection dialog; the About box it opened, or null.
    HWND OpenWith(WPARAM command) {
        installer.Use(mainDialog);
        installer.SysCommand(command);
        return installer.WaitWindow(Cp1251("О программе"));
    }

    // The About box's texts, its hidden static and its focus, as a user sees them.
    void ExpectAboutContents(HWND about) {
        installer.Use(about);
        EXPECT_EQ(support::ToUtf8(installer.ControlText(IDC_VERSION)), "Версия: 6.0.0.28");
        EXPECT_EQ(support::ToUtf8(installer.ControlText(IDC_COPYRIGHT)), "© 2026 Orvex");
        EXPECT_TRUE(installer.IsVisible(IDC_VERSION));
        EXPECT_FALSE(installer.IsVisible(IDC_COPYRIGHT));
        // The title line, the version line and the template's copyright line.
        EXPECT_EQ(VisibleStaticTexts(about),
                  (std::vector<std::string>{"Инсталлятор Orvex Family 7.0", "Версия: 6.0.0.28",
                                            "© 2026 Orvex"}));
        EXPECT_EQ(installer.Focus(), IDOK);
    }

    // Waits until the About box is gone and the product selection dialog takes input again.
    void ExpectClosed(HWND about) {
        EXPECT_TRUE(support::WaitFor([&] { return !IsWindow(about); })) << installer.Describe();
        EXPECT_TRUE(support::WaitFor([&] { return IsWindowEnabled(mainDialog) != FALSE; }));
        installer.Use(mainDialog);
    }

    TempMedium medium{"about-box"};
    Installer installer;
    HWND mainDialog = nullptr;
};

TEST_F(AboutBox, SystemCommandsWhoseHighBitsAre16OpenIt) {
    for (WPARAM command : {0x10, 0x11, 0x1F}) {
        SCOPED_TRACE(command);
        const HWND about = OpenWith(command);
        ASSERT_NE(about, nullptr) << installer.Describe();
        EXPECT_FALSE(IsWindowEnabled(mainDialog));
        EXPECT_EQ(GetWindow(about, GW_OWNER), mainDialog);
        ExpectAboutContents(about);
        EXPECT_TRUE(installer.Press(IDOK));
        ExpectClosed(about);
    }
}

TEST_F(AboutBox, OtherSystemCommandsDoNotOpenIt) {
    for (WPARAM command : {0x20, 0x00}) {
        SCOPED_TRACE(command);
        installer.Use(mainDialog);
        installer.SysCommand(command);
        // The About command behind it: once its box is there, the command before has been
        // handled, and a box of that one's would be a second.
        const HWND about = OpenWith(0x10);
        ASSERT_NE(about, nullptr) << installer.Describe();
        EXPECT_EQ(installer.CountWindows(Cp1251("О программе")), 1);
        EXPECT_TRUE(installer.Press(IDOK));
        ExpectClosed(about);
    }
    EXPECT_TRUE(installer.Running());
}

TEST_F(AboutBox, EscapeAndTheCloseBoxCloseIt) {
    HWND about = OpenWith(0x10);
    ASSERT_NE(about, nullptr) << installer.Describe();
    EXPECT_TRUE(installer.PressKey(VK_ESCAPE));
    ExpectClosed(about);

    about = OpenWith(0x10);
    ASSERT_NE(about, nullptr) << installer.Describe();
    installer.SysCommand(SC_CLOSE);
    ExpectClosed(about);
    EXPECT_TRUE(installer.Running());
}

TEST_F(AboutBox, ReturnsToTheUnchangedDialogAndShowsTheSameTheSecondTime) {
    ASSERT_TRUE(installer.TypeKeys("e100"));
    const std::string number = installer.ControlText(IDC_NUMBER);
    const bool nextEnabled = installer.IsEnabled(IDC_NEXT);

    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        const HWND about = OpenWith(0x10);
        ASSERT_NE(about, nullptr) << installer.Describe();
        ExpectAboutContents(about);
        if (opening == 1) {
            const char* shot = std::getenv("ABOUT_BOX_SCREENSHOT");
            if (shot != nullptr) support::SaveWindowImage(about, WideFromUtf8(shot));
        }
        EXPECT_TRUE(installer.Press(IDOK));
        ExpectClosed(about);
        EXPECT_EQ(installer.ControlText(IDC_NUMBER), number);
        EXPECT_EQ(installer.IsEnabled(IDC_NEXT), nextEnabled);
        EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDC_NUMBER; }))
            << installer.Describe();
    }
    EXPECT_TRUE(installer.Running());
}

TEST(AboutVersionLine, FirstPercentSIsTheVersionAndNothingElseIsInterpreted) {
    EXPECT_EQ(FormatVersionLine(L"Version: %s", L"6.0.0.28"), L"Version: 6.0.0.28");
    EXPECT_EQ(FormatVersionLine(L"%s (%s)", L"1"), L"1 (%s)");
    EXPECT_EQ(FormatVersionLine(L"100%% %d %n %", L"x"), L"100% %d %n %");
    EXPECT_EQ(FormatVersionLine(L"no argument", L"1.0"), L"no argument");
    EXPECT_EQ(FormatVersionLine(L"v%s", L"%s%n"), L"v%s%n");
    EXPECT_EQ(FormatVersionLine(L"", L"1"), L"");
}

// The program with its version resource removed: both statics stay empty, and the box still
// opens and closes normally.
class AboutBoxWithoutVersion : public AboutBox {
  protected:
    void PrepareProgram() override { ASSERT_TRUE(SwapVersionResource(medium.InstallerPath(), "")); }
};

TEST_F(AboutBoxWithoutVersion, ShowsNoVersionLine) {
    const HWND about = OpenWith(0x10);
    ASSERT_NE(about, nullptr) << installer.Describe();
    installer.Use(about);
    EXPECT_EQ(installer.ControlText(IDC_VERSION), "");
    EXPECT_EQ(installer.ControlText(IDC_COPYRIGHT), "");
    EXPECT_EQ(installer.Focus(), IDOK);
    EXPECT_TRUE(installer.Press(IDOK));
    ExpectClosed(about);
    EXPECT_TRUE(installer.Running());
}

// The program with another module's resource: FileVersion is empty under 040904E4 and set under
// 040904B0, LegalCopyright is set under 040904E4.
class AboutBoxWithOtherVersion : public AboutBox {
  protected:
    void PrepareProgram() override {
        ASSERT_TRUE(SwapVersionResource(medium.InstallerPath(),
                                        support::HostToWinePath(VERSION_MODULE_HOST_PATH)));
    }
};

TEST_F(AboutBoxWithOtherVersion, ReadsEachValueFromTheTableThatHasIt) {
    const HWND about = OpenWith(0x10);
    ASSERT_NE(about, nullptr) << installer.Describe();
    installer.Use(about);
    EXPECT_EQ(support::ToUtf8(installer.ControlText(IDC_VERSION)), "Версия: 9.9.9.9");
    EXPECT_EQ(installer.ControlText(IDC_COPYRIGHT), "western copyright");
    EXPECT_FALSE(installer.IsVisible(IDC_COPYRIGHT));
    // The resource's copyright never shows: the visible line is the template's own.
    EXPECT_EQ(VisibleStaticTexts(about),
              (std::vector<std::string>{"Инсталлятор Orvex Family 7.0", "Версия: 9.9.9.9",
                                        "© 2026 Orvex"}));
}

}  // namespace
