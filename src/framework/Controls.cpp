#include "framework/Controls.h"

#include <vector>

void ControlWindow::Show(bool visible) const {
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

void ControlWindow::Enable(bool enabled) const {
    EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

bool ControlWindow::IsVisible() const {
    return IsWindowVisible(hwnd) != FALSE;
}

bool ControlWindow::IsEnabled() const {
    return IsWindowEnabled(hwnd) != FALSE;
}

void ControlWindow::SetText(const std::wstring& text) const {
    SetWindowTextW(hwnd, text.c_str());
}

std::wstring ControlWindow::Text() const {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void ControlWindow::SetFocus() const {
    ::SetFocus(hwnd);
}

LRESULT ControlWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(hwnd, message, wParam, lParam);
}

void EditControl::SetSel(int start, int end) const {
    Send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void EditControl::ScrollCaret() const {
    Send(EM_SCROLLCARET);
}

int ComboBoxControl::Count() const {
    const LRESULT count = Send(CB_GETCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

int ComboBoxControl::InsertString(int index, const std::wstring& text) const {
    return static_cast<int>(
        Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

bool ComboBoxControl::SetItemData(int index, LPARAM data) const {
    return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data) != CB_ERR;
}

LPARAM ComboBoxControl::ItemData(int index) const {
    const LRESULT data = Send(CB_GETITEMDATA, static_cast<WPARAM>(index));
    return data == CB_ERR ? 0 : static_cast<LPARAM>(data);
}

int ComboBoxControl::CurSel() const {
    return static_cast<int>(Send(CB_GETCURSEL));
}

void ComboBoxControl::SetCurSel(int index) const {
    Send(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void ComboBoxControl::ResetContent() const {
    Send(CB_RESETCONTENT);
}

std::wstring ComboBoxControl::ItemText(int index) const {
    const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR || length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const LRESULT copied =
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}
