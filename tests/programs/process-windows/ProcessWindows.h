#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible top-level windows of a process, in the system's z-order, topmost first.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);
// A top-level window's caption, as GetWindowTextA gives it.
std::string WindowCaption(HWND window);
