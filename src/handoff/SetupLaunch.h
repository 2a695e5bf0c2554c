#pragma once

#include <windows.h>

#include <string>

#include "util/KernelHandle.h"

// One launch of a set-up program and the hand-off of its article number: the named event
// "Setup Started", the started process, the search for its window, the class identifier sent
// there, and the registry record written when the program sends the identifier back. The
// installer's window takes part only as the address of the answer; what the user is told, and
// when the window ends, is its own to decide from what each step returns.
class SetupLaunch {
  public:
    // Makes the event (automatic reset, not signalled), or shares an existing event of that name.
    SetupLaunch();
    // The event outlives the launch unless End has closed it: a set-up program started by this
    // installer may still look for it.
    ~SetupLaunch();
    SetupLaunch(const SetupLaunch&) = delete;
    SetupLaunch& operator=(const SetupLaunch&) = delete;

    // A signal given before now does not count as a started set-up program.
    void ForgetEarlierSignals();

    enum class Start {
        // The program could not be started: nothing has changed, the installer may go on.
        failed,
        // Started, but it did not signal while it started (or the name of the event is taken by
        // another object): there is no hand-off.
        unsignalled,
        // Started and signalled: hand the number over.
        signalled,
    };
    // Starts the program at path (UTF-8) for the article number (cp1251), with the number on its
    // command line, and waits until it has finished starting.
    Start StartProgram(const std::string& path, const std::string& number);

    enum class Handover {
        // No caption to look for: there is no hand-off.
        noCaption,
        // No window of the started program has the caption.
        noWindow,
        // The identifier went to the program's window; its answer may have come already.
        sent,
    };
    // Looks for the started program's window titled caption and sends it the identifier, with
    // replyTo as the address of the answer. The answer may come while the send is under way.
    Handover HandOver(const std::wstring& caption, HWND replyTo);

    // The answer from replyTo's WM_COPYDATA: when it is the identifier sent, byte for byte, the
    // number is recorded and the hand-off has settled. Whatever it is, the launch is over.
    void TakeAnswer(const COPYDATASTRUCT* record);

    // While the answer is awaited: true once the program's window is gone or its program ended.
    bool SetupGone() const;

    // The launch is over: unless the hand-off settled, the event is closed, so that no set-up
    // program started later finds this installer waiting.
    void End();

    // A program has been started.
    bool Started() const { return started; }
    // No launch has begun, or its answer was the identifier sent.
    bool Settled() const { return settled; }
    // The identifier sent to the program's window; empty before.
    const std::string& ClassId() const { return classId; }
    // The event as this process holds it; null once closed, or when its name is another
    // object's.
    HANDLE Event() const { return startedEvent.Get(); }

  private:
    // Shared with the set-up programs; null when the name is taken by an object the installer
    // cannot use as its event (another kind of object, or an event it may not wait on), and then
    // no launch hands off.
    KernelHandle startedEvent;
    std::string number;
    // The launched program, held open so that its id stays its own while its window is looked
    // for; the window the identifier went to, and that window's program.
    KernelHandle process;
    HWND window = nullptr;
    KernelHandle windowProcess;
    std::string classId;
    bool started = false;
    bool settled = true;
};
