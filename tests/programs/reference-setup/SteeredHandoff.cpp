#include "SteeredHandoff.h"

#include <vector>

#include "protocol/HandoffProtocol.h"
#include "util/KernelHandle.h"

namespace {

const char windowClassName[] = "ReferenceSetupSteered";
const UINT answerMessage = WM_APP + 2;

// The default value of HKEY_CLASSES_ROOT\CLSID\{id}\Art as the 8-bit call gives it.
std::string RecordedNumber(const std::string& identifier) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(identifier) + "\\Art").c_str(), 0,
                      KEY_QUERY_VALUE | kHandoffRegistryView, &key) != ERROR_SUCCESS) {
        return "missing (no key)";
    }
    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
    std::vector<char> value(size + 1);
    const LONG result = RegQueryValueExA(key, nullptr, nullptr, &type,
                                         reinterpret_cast<BYTE*>(value.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return "missing (no text)";
    return ReceivedReplyText(value.data(), size);
}

}  // namespace

SteeredHandoff::SteeredHandoff(const SetupLog& log, SteeredOptions::Reply reply,
                               bool endWhenAnswered)
    : log(log), reply(reply), endWhenAnswered(endWhenAnswered) {}

SteeredHandoff::~SteeredHandoff() {
    if (window != nullptr) DestroyWindow(window);
}

void SteeredHandoff::Open() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &SteeredHandoff::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = windowClassName;
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, windowClassName, setupWindowCaption, WS_OVERLAPPED, 0, 0, 0, 0,
                             nullptr, nullptr, windowClass.hInstance, this);
    KernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    log.Write("event", event && SetEvent(event.Get()) ? "signalled" : "missing");
}

LRESULT CALLBACK SteeredHandoff::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SteeredHandoff*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_COPYDATA) {
        self->OnCopyData(reinterpret_cast<HWND>(wParam),
                         reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    }
    if (self != nullptr && message == answerMessage) {
        self->Answer();
        return 0;
    }
    if (self != nullptr && message == WM_NCDESTROY) self->window = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
}

void SteeredHandoff::OnCopyData(HWND sender, const COPYDATASTRUCT* record) {
    received = true;
    if (record == nullptr) {
        log.Write("copydata", "no record");
        return;
    }
    log.Write("copydata.dwData", std::to_string(record->dwData));
    log.Write("copydata.cbData", std::to_string(record->cbData));
    if (!identifier.empty()) return;
    identifier = ReceivedReplyText(record->lpData, record->cbData);
    installer = sender;
    log.Write("copydata.classId", identifier);
    if (reply == SteeredOptions::Reply::later) {
        PostMessageA(window, answerMessage, 0, 0);
    } else {
        Answer();
    }
}

void SteeredHandoff::Answer() {
    if (reply == SteeredOptions::Reply::none) {
        log.Write("reply", "none");
        return;
    }
    const std::string text = ReplyFor(identifier, reply);
    log.Write("reply", text);
    COPYDATASTRUCT answer{};
    answer.cbData = static_cast<DWORD>(text.size() + 1);
    answer.lpData = const_cast<char*>(text.c_str());
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(installer, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                        reinterpret_cast<LPARAM>(&answer), SMTO_NORMAL, 60000, &ignored);
    log.Write("reply.returned", "yes");
    log.Write("art", RecordedNumber(identifier));
    if (endWhenAnswered) PostQuitMessage(0);
}
