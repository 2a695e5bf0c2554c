#pragma once

#include <windows.h>

#include <string>

// How long the installer lets a started set-up program take to finish starting, that is until its
// message loop first waits for input. A set-up program signals "Setup Started" while it starts.
constexpr DWORD setupStartBoundMs = 4000;

// Starts a set-up program: application name = path, command line = commandLine (of any length;
// it is copied into a writable buffer of its own size), the caller's environment and current
// directory. Waits until the program has finished starting, at most startBoundMs (at once for a
// console program or one that has already ended), then closes both handles of the new process,
// thread first. False when the process could not be created.
bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       DWORD startBoundMs = setupStartBoundMs);

// Sends the class identifier to the set-up program's window with WM_COPYDATA: wParam = replyTo,
// dwData = the numeric value of the event handle, cbData = the text's length plus its zero.
// The message's result is returned; the hand-off ignores it.
LRESULT SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId);
