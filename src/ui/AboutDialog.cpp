#include "ui/AboutDialog.h"

#include "framework/Application.h"
#include "framework/Strings.h"
#include "ui/IconGroup.h"
#include "ui/resource.h"
#include "util/VersionInfoReader.h"

namespace {
// Language 0x0409 (US English) with code page 1252: the program's own table is keyed for the
// UTF-16 code page, so its values come from the reader's second lookup.
constexpr DWORD kVersionLanguageCodePage = 67699940;  // 0x040904E4
}  // namespace

std::wstring FormatVersionLine(const std::wstring& format, const std::wstring& version) {
    std::wstring line;
    bool substituted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            const wchar_t next = format[i + 1];
            if (next == L'%') {
                line += L'%';
                ++i;
                continue;
            }
            if (next == L's' && !substituted) {
                line += version;
                substituted = true;
                ++i;
                continue;
            }
        }
        line += format[i];
    }
    return line;
}

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX) {}

AboutDialog::~AboutDialog() = default;

void AboutDialog::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    dx.Text(IDC_COPYRIGHT, copyrightText);
    dx.Text(IDC_VERSION, versionText);
}

BOOL AboutDialog::OnInitDialog() {
    // Sets both statics to the still empty members: the template's version text never shows.
    Dialog::OnInitDialog();
    ShowNearestIcon();

    VersionInfoReader reader;
    if (reader.Load(nullptr)) {
        const std::wstring version = reader.GetString("FileVersion", kVersionLanguageCodePage);
        if (!version.empty())
            versionText = FormatVersionLine(LoadResourceString(IDS_VERSION_FORMAT), version);
        const std::wstring copyright = reader.GetString("LegalCopyright", kVersionLanguageCodePage);
        if (!copyright.empty()) copyrightText = copyright;
        UpdateData(Direction::ToControls);
    }
    // The platform gives the focus to the first tab stop, the OK button.
    return TRUE;
}

void AboutDialog::ShowNearestIcon() {
    // The template's static shows the icon at the system's icon size, stretched from whichever
    // image the system took. That icon is shared with the module and never destroyed.
    const int wanted = GetSystemMetrics(SM_CXICON);
    const int nearest = NearestSize(IconGroupSizes(ModuleInstance(), IDR_MAINFRAME), wanted);
    HWND iconStatic = GetDlgItem(Handle(), IDC_ABOUT_ICON);
    if (nearest == wanted || iconStatic == nullptr) return;
    nearestIcon.Reset(static_cast<HICON>(LoadImageW(
        ModuleInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, nearest, nearest, 0)));
    if (!nearestIcon) return;
    RECT place{};
    GetWindowRect(iconStatic, &place);
    MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&place), 2);
    SendMessageW(iconStatic, STM_SETICON, reinterpret_cast<WPARAM>(nearestIcon.Get()), 0);
    const int left = (place.left + place.right - nearest) / 2;
    const int top = (place.top + place.bottom - nearest) / 2;
    MoveWindow(iconStatic, left, top, nearest, nearest, TRUE);
}
