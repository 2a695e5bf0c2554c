// The modes of the tests' build besides the kit's: the set-up side played without the kit
// (window), a signal and nothing more (signal), or no part at all (none).

#include <windows.h>

#include <string>

#include "SetupModes.h"
#include "SteeredHandoff.h"
#include "protocol/HandoffProtocol.h"
#include "util/KernelHandle.h"

namespace {

void CALLBACK EndMessages(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(0);
}

// Plays the set-up side in a window of its own and serves its messages.
class WindowMode : public SetupMode {
  public:
    WindowMode(const SetupLog& log, SteeredOptions::Reply reply, bool openWindow)
        : log(log), handoff(log, reply, !openWindow) {
        handoff.Open();
    }
    ~WindowMode() override {
        if (!handoff.Received()) log.Write("copydata", "none");
    }

    void Run(unsigned exitAfterMs) override {
        if (exitAfterMs != 0) SetTimer(nullptr, 0, exitAfterMs, &EndMessages);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }

  private:
    const SetupLog& log;
    SteeredHandoff handoff;
};

// Signals "Setup Started" (signal) or does nothing (none), then only waits.
class WaitMode : public SetupMode {
  public:
    void Run(unsigned exitAfterMs) override {
        if (exitAfterMs != 0) Sleep(exitAfterMs);
    }
};

void SignalSetupStarted(const SetupLog& log) {
    KernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    if (!event.Get()) {
        log.Write("event", "missing (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    log.Write("event", SetEvent(event.Get()) ? "signalled" : "not signalled");
}

}  // namespace

std::unique_ptr<SetupMode> StartSetupMode(const SetupOptions& options, const SetupLog& log) {
    const SteeredOptions steered = ReadSteeredOptions();
    switch (steered.handoff) {
        case SteeredOptions::Handoff::window:
            return std::make_unique<WindowMode>(log, steered.reply, options.openWindow);
        case SteeredOptions::Handoff::signal:
            SignalSetupStarted(log);
            return std::make_unique<WaitMode>();
        case SteeredOptions::Handoff::none:
            return std::make_unique<WaitMode>();
        case SteeredOptions::Handoff::serve:
            break;
    }
    return nullptr;
}
