#pragma once

#include <windows.h>

// Waiting in tests: on an observable condition, never on a fixed time. The time given is only
// the bound after which the condition counts as not met.
namespace support {

constexpr DWORD kDefaultWaitMs = 10000;
constexpr DWORD kPollStepMs = 10;

// Whether the calling thread dispatches its own window messages while it waits: needed when
// what is waited for arrives as a message to one of its windows.
enum class WhileWaiting { Poll, DispatchMessages };

// Polls ready() until it is true or the time is up; true when ready.
template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs = kDefaultWaitMs,
             WhileWaiting whileWaiting = WhileWaiting::Poll) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (whileWaiting == WhileWaiting::DispatchMessages) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        }
        if (ready()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        // Until the next look at the condition: a poll step, not the condition's own time. A
        // thread that dispatches its messages looks again as soon as one comes in.
        const DWORD wakeOn = whileWaiting == WhileWaiting::DispatchMessages ? QS_ALLINPUT : 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollStepMs, wakeOn);
    }
}

}  // namespace support
