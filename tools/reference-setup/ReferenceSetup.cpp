// A set-up program for trying a medium and for the installer's tests, built on the set-up program
// kit: the kit signals "Setup Started", owns the hidden window with the set-up caption, answers
// the installer's identifier and reads the article number back from the registry. This program
// records all of it to its log (SetupLog.h) and shows it in a status window of its own. Its
// environment (SetupOptions.h) can make it answer wrongly, not at all, or not take part.

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "HandoffSession.h"
#include "SetupLog.h"
#include "SetupOptions.h"
#include "handoff/HandoffNames.h"
#include "handoff/KernelHandle.h"

namespace {

const char statusWindowTitle[] = "Reference set-up program";
const char statusWindowClass[] = "ReferenceSetupStatus";
const UINT handoffEndedMessage = WM_APP + 1;
const UINT_PTR exitTimer = 1;

struct SetupState {
    SetupLog log;
    SetupOptions options;
    std::string status;
    std::atomic<bool> copyDataReceived{false};
    std::atomic<HWND> statusWindow{nullptr};
    HWND label = nullptr;
};

void ShowStatus(SetupState& state, const std::string& line) {
    state.status += line + "\r\n";
    if (state.label) SetWindowTextA(state.label, state.status.c_str());
}

void SignalSetupStarted(const SetupLog& log) {
    KernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    if (!event.Get()) {
        log.Write("event", "missing (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    log.Write("event", SetEvent(event.Get()) ? "signalled" : "not signalled");
}

// What the kit is told to do differently, and what it reports, all written to the log.
HandoffSession::Hooks LoggingHooks(SetupState& state) {
    HandoffSession::Hooks hooks;
    hooks.received = [&state](WPARAM, const COPYDATASTRUCT* record) {
        state.copyDataReceived = true;
        if (record == nullptr) {
            state.log.Write("copydata", "no record");
            return;
        }
        state.log.Write("copydata.dwData", std::to_string(record->dwData));
        state.log.Write("copydata.cbData", std::to_string(record->cbData));
    };
    hooks.answer = [&state](const std::string& identifier) -> std::optional<std::string> {
        state.log.Write("copydata.classId", identifier);
        if (state.options.reply == SetupOptions::Reply::none) {
            state.log.Write("reply", "none");
            return std::nullopt;
        }
        const std::string reply = ReplyFor(identifier, state.options.reply);
        state.log.Write("reply", reply);
        return reply;
    };
    hooks.answerDuringSend = state.options.reply != SetupOptions::Reply::later;
    hooks.answered = [&state] { state.log.Write("reply.returned", "yes"); };
    hooks.started = [&state](bool signalled) {
        state.log.Write("event", signalled ? "signalled" : "missing");
    };
    return hooks;
}

void HandoffEnded(void* context, int status, const char* number, size_t length) {
    auto& state = *static_cast<SetupState*>(context);
    state.log.Write("handoff.status", std::to_string(status));
    state.log.Write("art", number != nullptr ? std::string(number, length)
                                             : "missing (status " + std::to_string(status) + ")");
    if (HWND window = state.statusWindow) PostMessageA(window, handoffEndedMessage, 0, 0);
}

LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<SetupState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            state->label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8,
                                           560, 240, window, nullptr, nullptr, nullptr);
            ShowStatus(*state, std::string("Command line: ") + GetCommandLineA());
            if (state->options.exitAfterMs) {
                SetTimer(window, exitTimer, state->options.exitAfterMs, nullptr);
            }
            return 0;
        case handoffEndedMessage:
            ShowStatus(*state, "The hand-off has ended; see the log for the article number.");
            return 0;
        case WM_TIMER:
            if (wParam == exitTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            state->statusWindow = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunStatusWindow(SetupState& state, HINSTANCE instance) {
    WNDCLASSA windowClassInfo{};
    windowClassInfo.lpfnWndProc = StatusWindowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = statusWindowClass;
    RegisterClassA(&windowClassInfo);
    HWND window =
        CreateWindowExA(0, statusWindowClass, statusWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 600, 300, nullptr, nullptr, instance, &state);
    if (!window) {
        state.log.Write("window", "not created (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
    state.statusWindow = window;
    ShowWindow(window, SW_SHOW);
    state.log.Write("window", "open");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetupState state;
    state.options = SetupOptions::FromEnvironment();
    // The installer goes on once this program has finished starting: take part before anything
    // else that could wait for input.
    std::unique_ptr<HandoffSession> session;
    switch (state.options.handoff) {
        case SetupOptions::Handoff::serve:
            session = HandoffSession::Start(nullptr, &HandoffEnded, &state, LoggingHooks(state));
            break;
        case SetupOptions::Handoff::signal:
            SignalSetupStarted(state.log);
            break;
        case SetupOptions::Handoff::none:
            break;
    }
    state.log.Write("pid", std::to_string(GetCurrentProcessId()));
    state.log.Write("commandLine", GetCommandLineA());
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    state.log.Write("program", program);

    int result = 0;
    if (state.options.openWindow && state.options.handoff != SetupOptions::Handoff::signal) {
        result = RunStatusWindow(state, instance);
    } else if (session) {
        session->Wait(state.options.exitAfterMs ? state.options.exitAfterMs : INFINITE);
    } else if (state.options.exitAfterMs) {
        Sleep(state.options.exitAfterMs);
    }
    session.reset();
    if (!state.copyDataReceived) state.log.Write("copydata", "none");
    state.log.Write("exit", std::to_string(result));
    return result;
}
