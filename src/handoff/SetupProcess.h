#pragma once

#include <windows.h>

#include <string>

#include "util/KernelHandle.h"

// How long the installer lets a started set-up program take to finish starting, that is until its
// message loop first waits for input. A set-up program signals "Setup Started" while it starts.
constexpr DWORD setupStartBoundMs = 4000;

// How long the installer waits for a console set-up program's "Setup Started": such a program has
// no message loop whose first wait for input would show that it has finished starting. A console
// program on the set-up program kit signals within a few hundred milliseconds of its start.
constexpr DWORD consoleSignalBoundMs = 2000;

// Starts a set-up program: application name = path (UTF-8), command line = commandLine (cp1251, of
// any length), current folder = the program's own folder, and the caller's environment without
// the .NET runtime's loader hooks (SetupEnvironmentBlock). Both texts reach the system as UTF-16,
// so an ANSI set-up program reads its command line in the system's code page, as it would from an
// ANSI caller, and a Unicode one reads the text itself. Waits until the program has finished
// starting, at most startBoundMs (at once for one that has already ended). A console program (its
// file's PE subsystem says so) has no message loop to wait for: given startedSignal (the
// auto-reset "Setup Started" event), the wait is instead until the program sets it or ends, at
// most consoleSignalBoundMs, and *signalTaken tells whether this wait took the signal (the event
// is then no longer set); without startedSignal it is not waited for. Then closes the new
// thread's handle and gives the process's to process: held open, its id names that process and no
// later one. False when the process could not be created.
bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       KernelHandle& process, HANDLE startedSignal = nullptr,
                       bool* signalTaken = nullptr, DWORD startBoundMs = setupStartBoundMs);

// The set-up program's top-level window: among the windows titled with the caption as text (a
// Unicode program's) or with the caption's cp1251 bytes through the ANSI API (an ANSI program's,
// whose title the system decoded with its own code page), one of the launched process or of a
// process it started, directly or further down (each link checked by creation time: a parent id
// another process took over after its own process ended does not count). Null when no window of
// that tree has the caption: a window of any other program never gets the number.
HWND FindSetupWindow(const std::wstring& caption, HANDLE launched);

// How long the send of the identifier may take before the installer stops waiting for its end;
// the set-up program's answer may still come at any time after.
constexpr UINT handoffSendBoundMs = 10000;

// Sends the class identifier to the set-up program's window with WM_COPYDATA: wParam = replyTo,
// dwData = the numeric value of the event handle, cbData = the text's length plus its zero.
// The send ends when the window has handled the message, after handoffSendBoundMs, or at once when
// its program does not take messages (hung); the hand-off needs none of its results.
void SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId);
