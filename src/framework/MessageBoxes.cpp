#include "framework/MessageBoxes.h"

int ShowMessageBox(HWND owner, const std::wstring& text, const wchar_t* caption, UINT style) {
    return MessageBoxW(owner, text.c_str(), caption, style);
}
