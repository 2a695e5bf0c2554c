#pragma once

#include <windows.h>

#include <string>

// How long the installer lets a started set-up program take to finish starting, that is until its
// message loop first waits for input. A set-up program signals "Setup Started" while it starts.
constexpr DWORD setupStartBoundMs = 4000;

// Starts a set-up program: application name = path (UTF-8), command line = commandLine (cp1251, of
// any length), the caller's environment and current directory. Both reach the system as UTF-16,
// so an ANSI set-up program reads its command line in the system's code page, as it would from
// an ANSI caller, and a Unicode one reads the text itself. Waits until the program has finished starting, at most startBoundMs (at once for a
// console program or one that has already ended), then closes both handles of the new process,
// thread first. False when the process could not be created.
bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       DWORD startBoundMs = setupStartBoundMs);

// The set-up program's top-level window: first one titled with the caption as text (a Unicode
// program's), then one titled with the caption's cp1251 bytes through the ANSI API (an ANSI
// program's, whose title the system decoded with its own code page). Null when there is none.
HWND FindSetupWindow(const std::wstring& caption);

// Sends the class identifier to the set-up program's window with WM_COPYDATA: wParam = replyTo,
// dwData = the numeric value of the event handle, cbData = the text's length plus its zero.
// The message's result is returned; the hand-off ignores it.
LRESULT SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId);
