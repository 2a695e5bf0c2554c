// The first screen at the system's DPI: run at 96 and at 144 DPI, each in a prefix of its own
// (WINE_DPI names it). The picture grows with the dialog, at its own proportions, and stays where
// the layout puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "driver/Driver.h"
#include "ui/resource.h"

namespace {

// From the dialog template, in dialog units: the client area's height and width, and the place
// of the picture (control 129).
constexpr double dialogUnitsWide = 265;
constexpr double dialogUnitsHigh = 198;
constexpr double placeUnitsWide = 240;
constexpr double placeUnitsHigh = 111;
// The picture's own size (bitmap 129).
constexpr int pictureWidth = 360;
constexpr int pictureHeight = 180;

// The test program carries the installer's resources, its manifest with them: it is DPI-aware as
// the installer is and sees rectangles and the DPI as the system has them, not scaled for a program
// unaware of the DPI.
int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(FirstScreen, PictureScalesWithTheDialogAndStaysCentred) {
    const char* wanted = std::getenv("WINE_DPI");
    ASSERT_NE(wanted, nullptr) << "WINE_DPI names the DPI of the prefix";
    const int dpi = SystemDpi();
    ASSERT_EQ(dpi, std::atoi(wanted));

    e2e::TempMedium medium("first-screen");
    ASSERT_TRUE(medium.WriteCatalog({{"E100", medium.DriveRelative("English\\setup.exe")}}));
    e2e::Installer installer;
    ASSERT_TRUE(installer.Start(medium));
    ASSERT_NE(installer.WaitWindow(support::Cp1251("Добро пожаловать")), nullptr)
        << installer.Describe();

    const RECT client = installer.ClientRect();
    const RECT picture = installer.ControlRect(IDC_PICTURE);
    const RECT prompt = installer.ControlRect(IDC_PROMPT);
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    if (dpi == 96) {
        EXPECT_EQ(width, pictureWidth);
        EXPECT_EQ(height, pictureHeight);
    }
    // The dialog's scale, in pixels per dialog unit: the picture fills its place in one
    // direction (to the pixel, which the units' rounding leaves open) at its own proportions.
    const double widthFilled =
        width / (placeUnitsWide * (client.right - client.left) / dialogUnitsWide);
    const double heightFilled =
        height / (placeUnitsHigh * (client.bottom - client.top) / dialogUnitsHigh);
    EXPECT_NEAR(std::max(widthFilled, heightFilled), 1.0, 0.01)
        << width << " x " << height << " in " << client.right << " x " << client.bottom;
    EXPECT_LE(std::abs(width * pictureHeight - height * pictureWidth), pictureWidth);
    // Centred across the client area and in the band above the prompt, 5 pixels lower at the
    // picture's own size.
    EXPECT_EQ(picture.left, (client.right - client.left) / 2 - width / 2);
    EXPECT_EQ(picture.top, prompt.top / 2 - height / 2 + MulDiv(5, height, pictureHeight));
    EXPECT_TRUE(installer.IsVisible(IDC_PICTURE));
    if (HasFailure()) std::cout << installer.Describe();
}

}  // namespace
