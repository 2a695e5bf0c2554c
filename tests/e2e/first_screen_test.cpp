// The first screen at the system's DPI: run at 96 and at 144 DPI, each in a prefix of its own
// (WINE_DPI names it). The picture grows with the dialog, at its own proportions, and stays where
// the layout puts it. Every language's dialogs have one shape, and every text they show fits its
// control on one line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <vector>

#include "driver/Driver.h"
#include "framework/ResourceLanguage.h"
#include "framework/Strings.h"
#include "support/ScreenCapture.h"
#include "ui/resource.h"
#include "util/WideText.h"
#include "version.h"

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

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The texts a control of the program's dialogs shows at one time or another: its template's, and
// those the program puts into it.
std::vector<std::wstring> ShownTexts(HWND control, LANGID language) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const auto load = [&](UINT id) { return LoadResourceStringIn(module, id, language); };
    switch (GetDlgCtrlID(control)) {
        case IDC_PROMPT:
            return {e2e::WideWindowText(control), load(IDS_ENTER_NUMBER),
                    load(IDS_CHOOSE_LOCALIZATION)};
        case IDC_VERSION: {
            std::wstring line = load(IDS_VERSION_FORMAT);
            line.replace(line.find(L"%s"), 2, WideFromUtf8(INSTALLER_FILE_VERSION_TEXT));
            return {line};
        }
        case IDC_LOCALIZATIONS:
            return {load(IDS_LOCALIZATION_ENGLISH), load(IDS_LOCALIZATION_GERMAN),
                    load(IDS_LOCALIZATION_FRENCH), load(IDS_LOCALIZATION_ITALIAN),
                    load(IDS_LOCALIZATION_RUSSIAN)};
        default:
            return {e2e::WideWindowText(control)};
    }
}

// The width a control leaves its text: a button's less its frame, a combo box's less its arrow.
int TextRoom(HWND control, const RECT& rect, int dpi) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const int width = rect.right - rect.left;
    if (std::wstring(name) == L"Button") return width - MulDiv(8, dpi, 96);
    if (std::wstring(name) == L"ComboBox")
        return width - GetSystemMetrics(SM_CXVSCROLL) - MulDiv(6, dpi, 96);
    return width;
}

struct ControlShape {
    int id;
    RECT rect;
};

// Each text control of a dialog in one language: its texts measured in the dialog's font
// against its rectangle, on one line. Returns the controls' places, and keeps a picture of the
// dialog beside the program.
std::vector<ControlShape> CheckTexts(UINT templateId, LANGID language, int dpi) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const auto* dialogTemplate = static_cast<LPCDLGTEMPLATEW>(
        LockedResource(module, dialogTemplates, MAKEINTRESOURCEW(templateId), language));
    EXPECT_NE(dialogTemplate, nullptr) << "template " << templateId << " in language " << language;
    if (dialogTemplate == nullptr) return {};
    HWND dialog = CreateDialogIndirectParamW(module, dialogTemplate, nullptr, &PlainDialog, 0);
    EXPECT_NE(dialog, nullptr);
    if (dialog == nullptr) return {};
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    std::vector<ControlShape> shapes;
    HDC dc = GetDC(dialog);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        shapes.push_back({GetDlgCtrlID(control), rect});
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        wchar_t name[16] = {};
        GetClassNameW(control, name, 16);
        if (std::wstring(name) == L"Static" && (style & SS_TYPEMASK) > SS_RIGHT) continue;
        // The copyright line the program keeps hidden is never seen.
        if (std::wstring(name) == L"Edit" || GetDlgCtrlID(control) == IDC_COPYRIGHT) continue;
        const UINT prefix =
            (style & SS_NOPREFIX) && std::wstring(name) == L"Static" ? DT_NOPREFIX : 0;
        for (const std::wstring& text : ShownTexts(control, language)) {
            RECT extent{0, 0, 0, 0};
            DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE | prefix);
            EXPECT_LE(extent.right, TextRoom(control, rect, dpi))
                << "\"" << Utf8FromWide(text) << "\" in control " << GetDlgCtrlID(control)
                << " of template " << templateId << ", language " << language;
            EXPECT_LE(extent.bottom, rect.bottom - rect.top) << Utf8FromWide(text);
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
    wchar_t shot[64] = {};
    swprintf(shot, 64, L"layout-%04x-%u-dpi%d.bmp", language, templateId, dpi);
    support::SaveWindowImage(dialog, WideFromUtf8(support::BesideProgram(Utf8FromWide(shot))));
    DestroyWindow(dialog);
    return shapes;
}

TEST(Layout, EveryLanguageHasTheSameShapeAndItsTextsFit) {
    const int dpi = SystemDpi();
    const std::vector<LANGID> languages = StringTableLanguages(GetModuleHandleW(nullptr));
    EXPECT_EQ(languages.size(), 5u);
    for (UINT templateId : {IDD_PRODUCT_SELECT, IDD_ABOUTBOX}) {
        std::vector<ControlShape> first;
        for (LANGID language : languages) {
            const std::vector<ControlShape> shapes = CheckTexts(templateId, language, dpi);
            if (first.empty()) first = shapes;
            ASSERT_EQ(shapes.size(), first.size()) << "language " << language;
            for (std::size_t i = 0; i < shapes.size(); ++i) {
                EXPECT_EQ(shapes[i].id, first[i].id);
                EXPECT_TRUE(EqualRect(&shapes[i].rect, &first[i].rect))
                    << "control " << shapes[i].id << ", language " << language;
            }
        }
    }
}

}  // namespace
