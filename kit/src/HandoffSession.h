#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "RecordReader.h"
#include "handoff/KernelHandle.h"
#include "setup_handoff.h"

// Ways to make the session behave otherwise, for trying an installer's checks; a set-up
// program leaves them all empty.
struct SessionHooks {
    // Once "Setup Started" has been opened and signalled (true) or could not be (false).
    std::function<void(bool signalled)> started;
    // Every WM_COPYDATA record that reaches the window, before it is looked at.
    std::function<void(WPARAM sender, const COPYDATASTRUCT* record)> received;
    // The text sent back for the identifier; nothing: no answer at all.
    std::function<std::optional<std::string>(const std::string& identifier)> answer;
    // Answer while the installer's send is still under way instead of after it returned.
    bool answerDuringSend = false;
    // After the answer's send has returned.
    std::function<void()> answered;
};

// One set-up program's side of the hand-off: signals "Setup Started", owns the hidden window with
// the set-up caption on a thread of its own, answers the installer's identifier and reads the
// article number back from the installer's record.
class HandoffSession {
  public:
    using Hooks = SessionHooks;

    // Starts serving the hand-off for commandLine (null: the program's own). Never null.
    static std::unique_ptr<HandoffSession> Start(const char* commandLine,
                                                 SetupHandoffCallback callback, void* context,
                                                 Hooks hooks = {});
    ~HandoffSession();
    HandoffSession(const HandoffSession&) = delete;
    HandoffSession& operator=(const HandoffSession&) = delete;

    // The status once the hand-off has ended; SETUP_HANDOFF_PENDING while it goes on after the
    // time.
    int Wait(DWORD timeoutMs) const;
    // Valid once Wait has returned a final status.
    const RecordedNumber* Number() const;
    const std::string* Identifier() const;

  private:
    HandoffSession(SetupHandoffCallback callback, void* context, Hooks hooks);
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Serve();
    void Signal();
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* record);
    void Answer();
    void Finish(int status);

    SetupHandoffCallback callback;
    void* context;
    Hooks hooks;
    std::wstring caption;
    KernelHandle ready;
    KernelHandle done;
    KernelHandle thread;
    DWORD threadId = 0;
    // Touched by the session's thread only, once it runs.
    HWND window = nullptr;
    HWND installer = nullptr;
    bool served = false;
    int status = SETUP_HANDOFF_PENDING;
    std::optional<std::string> identifier;
    std::optional<RecordedNumber> number;
};
