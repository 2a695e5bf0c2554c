#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible top-level windows of a process, in the system's z-order, topmost first.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);
// A top-level window's caption, as GetWindowTextA gives it.
std::string WindowCaption(HWND window);

// Until a timer looks at another process's windows again: another process's windows tell nothing
// when they change, so the timer looks again after one millisecond, or at once when one of the
// handles (the process, an event it sets) is signalled.
void AwaitNextLook(const std::vector<HANDLE>& handles);
