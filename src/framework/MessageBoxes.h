#pragma once

#include <windows.h>

#include <string>

// Every message box of the program is shown here. A null caption gives the platform's own
// caption.
int ShowMessageBox(HWND owner, const std::wstring& text, const wchar_t* caption, UINT style);
