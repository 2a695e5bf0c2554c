#include "HandoffSession.h"

#include <vector>

#include "CommandLineNumber.h"
#include "InstallerRecord.h"
#include "RecordReader.h"
#include "handoff/ArticleRules.h"
#include "handoff/HandoffNames.h"
#include "util/WideText.h"

namespace {

const wchar_t windowClassName[] = L"SetupHandoffWindow";
const UINT answerMessage = WM_APP + 0x48;
// The installer writes its record while it handles the answer; only a hung installer takes long.
const UINT answerTimeoutMs = 60000;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        windowClassName, &module);
    return module;
}

}  // namespace

HandoffSession::HandoffSession(SetupHandoffCallback callback, void* context, Hooks hooks)
    : callback(callback), context(context), hooks(std::move(hooks)) {}

std::unique_ptr<HandoffSession> HandoffSession::Start(const char* commandLine,
                                                      SetupHandoffCallback callback, void* context,
                                                      Hooks hooks) {
    std::unique_ptr<HandoffSession> session(
        new HandoffSession(callback, context, std::move(hooks)));
    session->done.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const auto typed = CommandLineNumber(commandLine ? commandLine : GetCommandLineA());
    if (!typed) {
        session->Finish(SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER);
        return session;
    }
    if (LanguageIndexOf(std::string(*typed)) < 0) {
        // The installer hides and ends without looking for a window; the signal only saves it
        // the wait.
        session->Signal();
        session->Finish(SETUP_HANDOFF_NOT_OFFERED);
        return session;
    }
    // The caption as text: found by its text on every system, and by its cp1251 bytes through
    // the 8-bit call on a system whose code page is 1251.
    session->caption = WideFromCp1251(setupWindowCaption);
    session->ready.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (session->done.Get() == nullptr || session->ready.Get() == nullptr) {
        session->Finish(SETUP_HANDOFF_FAILED);
        return session;
    }
    session->thread.Reset(CreateThread(nullptr, 0, &HandoffSession::ThreadMain, session.get(), 0,
                                       &session->threadId));
    if (session->thread.Get() == nullptr) {
        session->Finish(SETUP_HANDOFF_FAILED);
        return session;
    }
    // The window exists and the signal is given before this returns, so both are in place before
    // any message loop of the program waits for input.
    HANDLE waits[] = {session->ready.Get(), session->thread.Get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return session;
}

HandoffSession::~HandoffSession() {
    if (thread.Get() == nullptr) return;
    // Fails harmlessly when the thread has ended already.
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread.Get(), INFINITE);
}

int HandoffSession::Wait(DWORD timeoutMs) const {
    if (done.Get() == nullptr) return status;
    return WaitForSingleObject(done.Get(), timeoutMs) == WAIT_OBJECT_0 ? status
                                                                       : SETUP_HANDOFF_PENDING;
}

// Both are written by the session's thread before it sets done; reading them only once done is
// set keeps the two threads apart.
const RecordedNumber* HandoffSession::Number() const {
    return Wait(0) == SETUP_HANDOFF_DONE && number ? &*number : nullptr;
}

const std::string* HandoffSession::Identifier() const {
    return Wait(0) != SETUP_HANDOFF_PENDING && identifier ? &*identifier : nullptr;
}

// Without the event (no installer waits, or it could not make one) the window is still served: an
// installer without its event goes on as if signalled.
void HandoffSession::Signal() {
    KernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    const bool signalled = event.Get() != nullptr && SetEvent(event.Get()) != FALSE;
    if (hooks.started) hooks.started(signalled);
}

DWORD WINAPI HandoffSession::ThreadMain(void* self) {
    static_cast<HandoffSession*>(self)->Serve();
    return 0;
}

void HandoffSession::Serve() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &HandoffSession::WindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = windowClassName;
    RegisterClassW(&windowClass);  // a second session finds the class registered already
    // Hidden, top-level and not message-only, so that FindWindow finds it by its title.
    window = CreateWindowExW(0, windowClassName, caption.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                             nullptr, nullptr, windowClass.hInstance, this);
    if (window == nullptr) {
        Finish(SETUP_HANDOFF_FAILED);
        SetEvent(ready.Get());
        return;
    }
    // The installer only looks for the window once the program has finished starting; signalling
    // here, before this thread's loop first waits for input, is in time.
    Signal();
    SetEvent(ready.Get());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    if (window != nullptr) DestroyWindow(window);
}

LRESULT CALLBACK HandoffSession::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HandoffSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_COPYDATA:
            return self->OnCopyData(reinterpret_cast<HWND>(wParam),
                                    reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case answerMessage:
            self->Answer();
            return 0;
        case WM_CLOSE:
            // The window lives as long as the session, whoever asks it to close.
            return 0;
        case WM_NCDESTROY:
            self->window = nullptr;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT HandoffSession::OnCopyData(HWND sender, const COPYDATASTRUCT* record) {
    if (hooks.received) hooks.received(reinterpret_cast<WPARAM>(sender), record);
    // One answer per session, and only to a record shaped like the installer's from a window.
    if (served || record == nullptr || IsWindow(sender) == FALSE) return FALSE;
    auto received = InstallerIdentifier(record->lpData, record->cbData);
    if (!received) return FALSE;
    served = true;
    identifier = std::move(received);
    installer = sender;
    if (hooks.answerDuringSend) {
        Answer();
    } else {
        PostMessageW(window, answerMessage, 0, 0);
    }
    return TRUE;
}

void HandoffSession::Answer() {
    const std::optional<std::string> text = hooks.answer ? hooks.answer(*identifier) : identifier;
    if (!text) {
        // No answer: the installer waits on, hidden, until it is ended.
        return;
    }
    COPYDATASTRUCT answer{};
    answer.cbData = static_cast<DWORD>(text->size() + 1);
    answer.lpData = const_cast<char*>(text->c_str());
    DWORD_PTR ignored = 0;
    // When this returns, the installer has written its record (if it took the answer).
    SendMessageTimeoutW(installer, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                        reinterpret_cast<LPARAM>(&answer), SMTO_NORMAL, answerTimeoutMs, &ignored);
    if (hooks.answered) hooks.answered();
    number = ReadRecordedNumber(*identifier);
    Finish(number ? SETUP_HANDOFF_DONE : SETUP_HANDOFF_NO_RECORD);
    PostQuitMessage(0);
}

void HandoffSession::Finish(int result) {
    status = result;
    if (callback != nullptr) {
        callback(context, status, number ? number->bytes.c_str() : nullptr,
                 number ? number->bytes.size() : 0);
    }
    // Last: a waiter may close the session as soon as this is set.
    if (done.Get() != nullptr) SetEvent(done.Get());
}
