// A set-up program for trying a medium and for the installer's tests, built on the set-up program
// kit through its public header: the kit signals "Setup Started", owns the hidden window with the
// set-up caption, answers the installer's identifier and reads the article number back from the
// registry. This program records what it gets to its log (SetupLog.h) and shows it in a status
// window of its own. In the tests' build its options (SetupOptions.h) can make it play the set-up
// side itself instead, answering wrongly or not at all, or make it not take part (SetupModes.h).

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "SetupLog.h"
#include "SetupModes.h"
#include "SetupOptions.h"
#include "setup_handoff.h"
#include "util/KernelHandle.h"
#include "util/SystemLibrary.h"

namespace {

const char statusWindowTitle[] = "Reference set-up program";
const char statusWindowClass[] = "ReferenceSetupStatus";
const UINT handoffEndedMessage = WM_APP + 1;
const UINT_PTR exitTimer = 1;

struct SetupState {
    explicit SetupState(SetupOptions chosen) : log(chosen.logPath), options(std::move(chosen)) {}

    SetupLog log;
    SetupOptions options;
    std::string status;
    std::atomic<HWND> statusWindow{nullptr};
    HWND label = nullptr;
    SetupHandoff* handoff = nullptr;
    DWORD mainThread = GetCurrentThreadId();
    // Set once handoff holds what SetupHandoffStart returned.
    KernelHandle handoffStored{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

void ShowStatus(SetupState& state, const std::string& line) {
    state.status += line + "\r\n";
    if (state.label) SetWindowTextA(state.label, state.status.c_str());
}

// The kit's callback: reads the outcome through the handle, as a program's own code would.
void HandoffEnded(void* context, int status, const char* number, size_t length) {
    auto& state = *static_cast<SetupState*>(context);
    if (status == SETUP_HANDOFF_DONE && !state.options.numberEvent.empty()) {
        KernelHandle hasNumber(
            OpenEventA(EVENT_MODIFY_STATE, FALSE, state.options.numberEvent.c_str()));
        if (hasNumber) SetEvent(hasNumber.Get());
    }
    // Within SetupHandoffStart the handle is not there yet; on the kit's thread it is soon.
    if (GetCurrentThreadId() != state.mainThread) {
        WaitForSingleObject(state.handoffStored.Get(), INFINITE);
    }
    state.log.Write("handoff.status", std::to_string(status));
    if (const char* identifier = SetupHandoffIdentifier(state.handoff)) {
        state.log.Write("copydata.classId", identifier);
    }
    state.log.Write("art", number != nullptr
                               ? std::string(number, length)
                               : "missing (" + std::string(SetupHandoffStatusName(status)) + ")");
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
    // It stands on the medium beside the installer: nothing of the medium's folder is loaded.
    RestrictDllSearchToSystem();
    SetupState state(ReadSetupOptions());
    // The installer goes on once this program has finished starting: take part before anything
    // else that could wait for input.
    std::unique_ptr<SetupMode> mode = StartSetupMode(state.options, state.log);
    if (!mode) {
        state.handoff = SetupHandoffStart(nullptr, &HandoffEnded, &state);
        SetEvent(state.handoffStored.Get());
    }
    state.log.Write("pid", std::to_string(GetCurrentProcessId()));
    state.log.Write("commandLine", GetCommandLineA());
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    state.log.Write("program", program);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    state.log.Write("folder", folder);
    for (const char* name : {"COR_ENABLE_PROFILING", "COMPlus_EnableDiagnostics"}) {
        char value[64] = {};
        const bool set = GetEnvironmentVariableA(name, value, sizeof value) > 0;
        state.log.Write(std::string("environment.") + name, set ? value : "unset");
    }

    int result = 0;
    const unsigned exitAfterMs = state.options.exitAfterMs;
    if (state.options.openWindow) {
        result = RunStatusWindow(state, instance);
    } else if (state.handoff != nullptr) {
        SetupHandoffWait(state.handoff, exitAfterMs ? exitAfterMs : SETUP_HANDOFF_INFINITE);
    } else if (mode) {
        mode->Run(exitAfterMs);
    } else if (exitAfterMs) {
        Sleep(exitAfterMs);
    }
    SetupHandoffClose(state.handoff);
    mode.reset();
    state.log.Write("exit", std::to_string(result));
    return result;
}
