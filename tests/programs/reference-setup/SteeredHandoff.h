#pragma once

#include <windows.h>

#include <string>

#include "SetupLog.h"
#include "SteeredOptions.h"

// The set-up side of the hand-off played without the kit, for trying the installer's checks:
// signals "Setup Started", owns a hidden window titled with the caption's cp1251 bytes through
// the 8-bit calls (as an ANSI set-up program does), takes every WM_COPYDATA record from any
// sender, logs it and answers as told, then reads the installer's record back. Runs on the
// thread that opens it, whose message loop serves the window; endWhenAnswered ends that loop
// once the answer is given.
class SteeredHandoff {
  public:
    SteeredHandoff(const SetupLog& log, SteeredOptions::Reply reply, bool endWhenAnswered);
    ~SteeredHandoff();
    SteeredHandoff(const SteeredHandoff&) = delete;
    SteeredHandoff& operator=(const SteeredHandoff&) = delete;

    // Makes the window, then signals.
    void Open();
    bool Received() const { return received; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCopyData(HWND sender, const COPYDATASTRUCT* record);
    void Answer();

    const SetupLog& log;
    SteeredOptions::Reply reply;
    bool endWhenAnswered;
    HWND window = nullptr;
    HWND installer = nullptr;
    std::string identifier;
    bool received = false;
};
