#pragma once

#include <windows.h>

// A WM_COPYDATA's parameters as what they are: its record (null when it carries none).
struct CopyDataMessage {
    WPARAM wParam;
    LPARAM lParam;

    const COPYDATASTRUCT* Record() const { return reinterpret_cast<const COPYDATASTRUCT*>(lParam); }
};
