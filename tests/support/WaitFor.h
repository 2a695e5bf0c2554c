#pragma once

#include <windows.h>

// Waiting in tests: on an observable condition, never on a fixed time. The time given is only
// the bound after which the condition counts as not met.
namespace support {

constexpr DWORD kDefaultWaitMs = 10000;

// Whether the calling thread dispatches its own window messages while it waits: needed when
// what is waited for arrives as a message to one of its windows.
enum class WhileWaiting { Sleep, DispatchMessages };

// Polls ready() until it is true or the time is up; true when ready.
template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs = kDefaultWaitMs,
             WhileWaiting whileWaiting = WhileWaiting::Sleep) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (whileWaiting == WhileWaiting::DispatchMessages) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        }
        if (ready()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        if (whileWaiting == WhileWaiting::DispatchMessages) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } else {
            Sleep(10);
        }
    }
}

}  // namespace support
