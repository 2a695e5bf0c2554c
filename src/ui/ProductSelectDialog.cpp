#include "ui/ProductSelectDialog.h"

#include "framework/Application.h"
#include "framework/MessageBoxes.h"
#include "framework/Strings.h"
#include "protocol/HandoffProtocol.h"
#include "ui/AboutDialog.h"
#include "ui/PictureScaling.h"
#include "ui/resource.h"
#include "util/PathParts.h"
#include "util/WideText.h"

namespace {

std::wstring ReplacePercent(const std::wstring& text, const std::wstring& replacement) {
    std::wstring result;
    for (wchar_t c : text) {
        if (c == L'%') {
            result += replacement;
        } else {
            result += c;
        }
    }
    return result;
}

RECT WindowRectIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

// OK, from whoever sends it, ends the dialog through OnCancel like every other end.
DEFINE_MESSAGE_TABLE(
    ProductSelectDialog, Dialog, OnMessageEntry(WM_SYSCOMMAND, &ProductSelectDialog::OnSysCommand),
    OnMessageEntry(WM_PAINT, &ProductSelectDialog::OnPaint),
    OnMessageEntry(WM_QUERYDRAGICON, &ProductSelectDialog::OnQueryDragIcon),
    OnCommandEntry(EN_CHANGE, IDC_NUMBER, &ProductSelectDialog::OnNumberChange),
    OnCommandEntry(BN_CLICKED, IDC_NEXT, &ProductSelectDialog::OnNext),
    OnCommandEntry(BN_CLICKED, IDC_BACK, &ProductSelectDialog::OnBack),
    OnCommandEntry(CBN_CLOSEUP, IDC_LOCALIZATIONS, &ProductSelectDialog::TakeListSelection),
    OnCommandEntry(CBN_SELCHANGE, IDC_LOCALIZATIONS, &ProductSelectDialog::TakeListSelection),
    OnMessageEntry(WM_COPYDATA, &ProductSelectDialog::OnHandoffReply),
    OnMessageEntry(WM_TIMER, &ProductSelectDialog::OnSetupWatch),
    OnCommandEntry(BN_CLICKED, IDCANCEL, &ProductSelectDialog::OnCancelCommand),
    OnCommandEntry(BN_CLICKED, IDOK, &ProductSelectDialog::OnCancelCommand))

ProductSelectDialog::ProductSelectDialog() : Dialog(IDD_PRODUCT_SELECT) {
    appIcon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

void ProductSelectDialog::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    dx.Control(IDC_PROMPT, promptLabel);
    dx.Control(IDC_LOCALIZATIONS, localizationList);
    dx.Control(IDC_NUMBER, numberEdit);
    dx.Control(IDC_BACK, backButton);
    dx.Control(IDC_NEXT, nextButton);
    dx.Cp1251Text(IDC_NUMBER, articleNumber, numberFits);
    dx.Control(IDC_PICTURE, picture);
}

BOOL ProductSelectDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(Handle(), FALSE)) {
        const std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
        }
    }

    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

    nextButton.Enable(false);
    PlacePicture();

    // A signal given before the dialog existed does not count as a started set-up program.
    launch.ForgetEarlierSignals();

    // Without its own folder the program has no catalogue: never the current folder's.
    PathParts catalogPath(catalogFileName);
    if (catalogPath.SetDirectoryFromModule("").empty()) {
        ShowMessage(IDS_INIT_ERROR_CAPTION, IDS_PROGRAM_FOLDER_UNKNOWN, MB_ICONERROR);
        OnCancel();
        return FALSE;
    }
    if (!catalog.Load(catalogPath.FullPath())) {
        const std::wstring text = ReplacePercent(LoadResourceString(IDS_CATALOG_NOT_FOUND),
                                                 WideFromUtf8(catalogPath.FullPath()));
        const std::wstring caption = LoadResourceString(IDS_INIT_ERROR_CAPTION);
        ShowMessageBox(Handle(), text, caption.c_str(), MB_ICONERROR);
        OnCancel();
        return FALSE;
    }
    return TRUE;
}

void ProductSelectDialog::PlacePicture() {
    // The picture control keeps the template's size (SS_REALSIZECONTROL): the place the layout
    // gives the picture, in dialog units, so that it grows with the dialog's font and the
    // system's DPI. The picture fills it at its own proportions. At 96 DPI the place holds the
    // bitmap at its own size, and the control shows the template's bitmap as it is; at any
    // other size it shows a copy drawn once at that size.
    const RECT place = WindowRectIn(picture.Handle(), Handle());
    const auto bitmap = reinterpret_cast<HBITMAP>(picture.Send(STM_GETIMAGE, IMAGE_BITMAP));
    const SIZE original = BitmapSize(bitmap);
    // Without its bitmap the control stays in its place, empty.
    if (original.cx <= 0 || original.cy <= 0) return;
    SIZE size = FitInto(original, SIZE{place.right - place.left, place.bottom - place.top});
    if (size.cx != original.cx || size.cy != original.cy) {
        scaledPicture = ScaledCopy(bitmap, size);
        if (scaledPicture) {
            // The control gives the template's bitmap back to the dialog, which frees it here.
            const OwnedBitmap replaced(reinterpret_cast<HBITMAP>(picture.Send(
                STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaledPicture.Get()))));
        } else {
            size = original;
        }
    }
    // Centred across the client area and in the band above the prompt, 5 pixels lower at the
    // picture's own size (as many more as the picture is larger). Each halving rounds toward
    // zero on its own term.
    RECT rc{};
    GetClientRect(Handle(), &rc);
    const RECT rl = WindowRectIn(promptLabel.Handle(), Handle());
    MoveWindow(picture.Handle(), (rc.right - rc.left) / 2 - size.cx / 2,
               rl.top / 2 - size.cy / 2 + MulDiv(5, size.cy, original.cy), size.cx, size.cy, TRUE);
}

int ProductSelectDialog::ShowMessage(UINT captionId, UINT textId, UINT style) {
    const std::wstring text = LoadResourceString(textId);
    const std::wstring caption = LoadResourceString(captionId);
    return ShowMessageBox(Handle(), text, caption.c_str(), style);
}

void ProductSelectDialog::OnNumberChange() {
    if (launch.Started()) return;
    UpdateData(Direction::ToMembers);
    // A text that cp1251 cannot hold is still a typed number: Next tells the user it is wrong.
    nextButton.Enable(!articleNumber.empty() || !numberFits);
}

LRESULT ProductSelectDialog::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        if (launch.Started()) return 0;
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    return Default();
}

void ProductSelectDialog::OnPaint() {
    if (!IsIconic(Handle())) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Handle(), &paint);
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    RECT rect{};
    GetClientRect(Handle(), &rect);
    const int x = (rect.right - rect.left - cx + 1) / 2;
    const int y = (rect.bottom - rect.top - cy + 1) / 2;
    DrawIcon(dc, x, y, appIcon);
    EndPaint(Handle(), &paint);
}

LRESULT ProductSelectDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(appIcon);
}

void ProductSelectDialog::OnCancelCommand() {
    if (!launch.Started()) OnCancel();
}

void ProductSelectDialog::OnCancel() {
    ReleaseItemNumbers();
    launch.End();
    EndDialog(IDCANCEL);
}
