#pragma once

#include <windows.h>

#include <string>

// Starts a set-up program: application name = path, command line = commandLine (of any length;
// it is copied into a writable buffer of its own size), the caller's environment and current
// directory. Both handles of the new process are closed at once, thread first. False when the
// process could not be created.
bool StartSetupProcess(const std::string& path, const std::string& commandLine);

// Sends the class identifier to the set-up program's window with WM_COPYDATA: wParam = replyTo,
// dwData = the numeric value of the event handle, cbData = the text's length plus its zero.
// The message's result is returned; the hand-off ignores it.
LRESULT SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId);
