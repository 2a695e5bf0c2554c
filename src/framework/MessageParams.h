#pragma once

#include <windows.h>

// A WM_COPYDATA's parameters as what they are: the window that sent it, and its record (null
// when it carries none).
struct CopyDataMessage {
    WPARAM wParam;
    LPARAM lParam;

    HWND Sender() const { return reinterpret_cast<HWND>(wParam); }
    const COPYDATASTRUCT* Record() const { return reinterpret_cast<const COPYDATASTRUCT*>(lParam); }
};
