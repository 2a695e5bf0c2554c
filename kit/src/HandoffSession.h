#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "RecordReader.h"
#include "protocol/HandoffProtocol.h"
#include "setup_handoff.h"
#include "util/KernelHandle.h"

// One set-up program's side of the hand-off: signals "Setup Started", owns the hidden window with
// the set-up caption on a thread of its own, answers the identifier of the installer that started
// the program and reads the article number back from the installer's record.
//
// The outcome is set once: status, number and identifier first, then the done event, then the
// callback. Until then only the session's thread writes them; readers look only once done is set.
// The callback always runs on a thread of the session's (the serving one, or one that only tells
// an outcome known at once), and only once LetGo has been called.
class HandoffSession {
  public:
    // Starts serving the hand-off for commandLine (null: the program's own). Never null.
    static std::unique_ptr<HandoffSession> Start(const char* commandLine,
                                                 SetupHandoffCallback callback, void* context);
    // A session that ends at once with status.
    static std::unique_ptr<HandoffSession> Ended(int status, SetupHandoffCallback callback,
                                                 void* context);
    ~HandoffSession();
    HandoffSession(const HandoffSession&) = delete;
    HandoffSession& operator=(const HandoffSession&) = delete;

    // Lets the callback run once the outcome is there: the caller of Start has the handle now.
    void LetGo();
    // Ends the service from another thread than its own: once a callback that is due has run.
    void Stop();
    // Ends the waits under way with SETUP_HANDOFF_NO_HANDLE: the handle has been closed.
    void Abandon();

    // The status once the hand-off has ended; SETUP_HANDOFF_PENDING while it goes on after the
    // time; SETUP_HANDOFF_NO_HANDLE once abandoned.
    int Wait(DWORD timeoutMs) const;
    // Valid once the hand-off has ended.
    const RecordedNumber* Number() const;
    const std::string* Identifier() const;

    // True on the session's own thread, where its callback runs.
    bool OnOwnThread() const;
    // Frees a session from its own thread: the thread frees it once the callback has returned.
    static void CloseOnOwnThread(std::unique_ptr<HandoffSession> session);

  private:
    HandoffSession(SetupHandoffCallback callback, void* context);
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool StartThread();
    void Serve();
    void RunLoop();
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* record);
    void OnInstallerEnded();
    bool IsTypedNumber(const RecordedNumber& recorded) const;
    void Finish(int status);
    void Tell();

    SetupHandoffCallback callback;
    void* context;
    // The number on the command line, which the installer records; the wide form when the
    // program's own line was read.
    std::string typed;
    std::optional<std::wstring> typedText;
    // The only process whose record is taken: the one that started this program.
    ParentProcess installer;
    KernelHandle installerEvent;
    KernelHandle ready;
    KernelHandle done;
    KernelHandle letGo;
    KernelHandle abandoned;
    KernelHandle thread;
    DWORD threadId = 0;
    // Set by CloseOnOwnThread: the thread frees the session at its end.
    std::unique_ptr<HandoffSession> closedOnOwnThread;
    // Touched by the session's thread only, once it runs.
    HWND window = nullptr;
    bool answered = false;
    bool ended = false;
    bool told = false;
    int status = SETUP_HANDOFF_PENDING;
    std::optional<std::string> identifier;
    std::optional<RecordedNumber> number;
};
