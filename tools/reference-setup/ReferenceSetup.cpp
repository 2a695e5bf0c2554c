// The set-up program's side of the hand-off, for trying a medium and for the installer's tests:
// it signals "Setup Started" at once, owns a window with the set-up caption, answers the
// installer's WM_COPYDATA with the identifier it received, then reads the article number from the
// registry record and shows it. Everything it receives is written to its log (SetupLog.h).

#include <windows.h>

#include <string>
#include <vector>

#include "SetupLog.h"
#include "SetupOptions.h"
#include "handoff/HandoffClassId.h"
#include "handoff/HandoffReply.h"
#include "handoff/KernelHandle.h"

namespace {

// "Тестирование install.exe: RUS" in cp1251: the caption the installer looks for.
const char* const setupCaption =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5"
    " install.exe: RUS";
const char* const windowClass = "ReferenceSetupWindow";
const UINT replyLaterMessage = WM_APP + 1;
const UINT_PTR exitTimer = 1;

class OpenKey {
  public:
    OpenKey(HKEY root, const std::string& path) {
        error = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
        if (error != ERROR_SUCCESS) key = nullptr;
    }
    ~OpenKey() {
        if (key) RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY key = nullptr;
    LONG error = ERROR_SUCCESS;
};

struct SetupState {
    SetupLog log;
    SetupOptions options;
    std::string commandLine;
    std::string status;
    bool copyDataReceived = false;
    HWND pendingReplyTo = nullptr;
    std::string pendingClassId;
    HWND label = nullptr;
};

SetupState* StateOf(HWND window) {
    return reinterpret_cast<SetupState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void ShowStatus(SetupState& state, const std::string& line) {
    state.status += line + "\r\n";
    if (state.label) SetWindowTextA(state.label, state.status.c_str());
}

void SignalSetupStarted(const SetupLog& log) {
    KernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, "Setup Started"));
    if (!event.Get()) {
        log.Write("event", "missing (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    log.Write("event", SetEvent(event.Get()) ? "signalled" : "not signalled");
}

// The article number the installer left under the identifier's "Art" key.
void ReadArticleNumber(SetupState& state, const std::string& classId) {
    OpenKey art(HKEY_CLASSES_ROOT, HandoffKeyPath(classId) + "\\Art");
    if (!art.key) {
        state.log.Write("art", "missing (error " + std::to_string(art.error) + ")");
        ShowStatus(state, "No article number in the registry");
        return;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG error = RegQueryValueExA(art.key, nullptr, nullptr, &type, nullptr, &size);
    std::vector<char> value(size + 1, '\0');
    if (error == ERROR_SUCCESS) {
        error = RegQueryValueExA(art.key, nullptr, nullptr, &type,
                                 reinterpret_cast<BYTE*>(value.data()), &size);
    }
    if (error != ERROR_SUCCESS) {
        state.log.Write("art", "unreadable (error " + std::to_string(error) + ")");
        return;
    }
    const std::string number = ReceivedReplyText(value.data(), size);
    state.log.Write("art.type", std::to_string(type));
    state.log.Write("art.size", std::to_string(size));
    state.log.Write("art", number);
    ShowStatus(state, "Article number: " + number);
}

void SendReply(SetupState& state, HWND self, HWND installer, const std::string& classId) {
    const std::string reply = ReplyFor(classId, state.options.reply);
    if (state.options.reply == SetupOptions::Reply::none) {
        state.log.Write("reply", "none");
        return;
    }
    COPYDATASTRUCT record{};
    record.dwData = 0;
    record.cbData = static_cast<DWORD>(reply.size() + 1);
    record.lpData = const_cast<char*>(reply.c_str());
    state.log.Write("reply", reply);
    SendMessageA(installer, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                 reinterpret_cast<LPARAM>(&record));
    state.log.Write("reply.returned", "yes");
    ReadArticleNumber(state, classId);
}

LRESULT OnCopyData(SetupState& state, HWND self, HWND installer, const COPYDATASTRUCT& record) {
    const std::string classId = ReceivedReplyText(record.lpData, record.cbData);
    state.copyDataReceived = true;
    state.log.Write("copydata.dwData", std::to_string(record.dwData));
    state.log.Write("copydata.cbData", std::to_string(record.cbData));
    state.log.Write("copydata.classId", classId);
    ShowStatus(state, "Identifier: " + classId);
    if (state.options.reply == SetupOptions::Reply::later) {
        state.pendingReplyTo = installer;
        state.pendingClassId = classId;
        PostMessageA(self, replyLaterMessage, 0, 0);
    } else {
        SendReply(state, self, installer, classId);
    }
    return TRUE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    SetupState* state = StateOf(window);
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            state->label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8,
                                           560, 240, window, nullptr, nullptr, nullptr);
            ShowStatus(*state, "Command line: " + state->commandLine);
            if (state->options.exitAfterMs) {
                SetTimer(window, exitTimer, state->options.exitAfterMs, nullptr);
            }
            return 0;
        case WM_COPYDATA:
            return OnCopyData(*state, window, reinterpret_cast<HWND>(wParam),
                              *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case replyLaterMessage:
            SendReply(*state, window, state->pendingReplyTo, state->pendingClassId);
            return 0;
        case WM_TIMER:
            if (wParam == exitTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunWindow(SetupState& state, HINSTANCE instance) {
    WNDCLASSA windowClassInfo{};
    windowClassInfo.lpfnWndProc = WindowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassA(&windowClassInfo);
    HWND window = CreateWindowExA(0, windowClass, setupCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 600, 300, nullptr, nullptr, instance, &state);
    if (!window) {
        state.log.Write("window", "not created (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
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
    // The installer waits only a moment for the signal: give it before anything else.
    SignalSetupStarted(state.log);
    state.options = SetupOptions::FromEnvironment();
    state.commandLine = GetCommandLineA();
    state.log.Write("pid", std::to_string(GetCurrentProcessId()));
    state.log.Write("commandLine", state.commandLine);

    int result = 0;
    if (state.options.openWindow) {
        result = RunWindow(state, instance);
    } else if (state.options.exitAfterMs) {
        Sleep(state.options.exitAfterMs);
    }
    if (!state.copyDataReceived) state.log.Write("copydata", "none");
    state.log.Write("exit", std::to_string(result));
    return result;
}
