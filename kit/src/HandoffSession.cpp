#include "HandoffSession.h"

#include "KitMessages.h"
#include "protocol/HandoffProtocol.h"
#include "util/WideText.h"

namespace {

const wchar_t windowClassName[] = L"SetupHandoffWindow";
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

HandoffSession::HandoffSession(SetupHandoffCallback callback, void* context)
    : callback(callback), context(context) {
    done.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    letGo.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    abandoned.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

std::unique_ptr<HandoffSession> HandoffSession::Ended(int status, SetupHandoffCallback callback,
                                                      void* context) {
    std::unique_ptr<HandoffSession> session(new HandoffSession(callback, context));
    session->Finish(status);
    return session;
}

std::unique_ptr<HandoffSession> HandoffSession::Start(const char* commandLine,
                                                      SetupHandoffCallback callback,
                                                      void* context) {
    std::unique_ptr<HandoffSession> session(new HandoffSession(callback, context));
    const auto typed = CommandLineNumber(commandLine ? commandLine : GetCommandLineA());
    if (!typed) {
        session->Finish(SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER);
        return session;
    }
    session->typed = std::string(*typed);
    if (commandLine == nullptr) {
        if (const auto text = CommandLineNumber(GetCommandLineW())) session->typedText = *text;
    }
    // The installer makes "Setup Started" before it starts this program and holds it until it
    // ends.
    session->installerEvent.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    if (LanguageIndexOf(session->typed) < 0) {
        // The installer hides and ends without looking for a window; the signal only saves it
        // the wait.
        if (session->installerEvent) SetEvent(session->installerEvent.Get());
        session->Finish(SETUP_HANDOFF_NOT_OFFERED);
        return session;
    }
    // No record is taken from a window of any other process than the one that started this
    // program. Without the event, or with its name taken by an object of another kind or by an
    // event this program may not set, no installer hands a number over.
    session->installer = ParentProcess::OfThisProcess();
    if (!session->installerEvent || !session->installer.Handle()) {
        session->Finish(SETUP_HANDOFF_NO_INSTALLER);
        return session;
    }
    session->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!session->done || !session->ready || !session->StartThread()) {
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
    // Closed on its own thread, the session is freed there as the thread ends.
    if (OnOwnThread()) return;
    // A callback still held back is not told: its handle never reached the program.
    Abandon();
    Stop();
}

void HandoffSession::Stop() {
    if (!thread || OnOwnThread()) return;
    // Behind the callback's message when the outcome is set. Fails harmlessly when the thread has
    // ended already or has no message queue.
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread.Get(), INFINITE);
}

bool HandoffSession::StartThread() {
    // Suspended until its handle and id are stored: the thread itself reads them.
    thread.Reset(
        CreateThread(nullptr, 0, &HandoffSession::ThreadMain, this, CREATE_SUSPENDED, &threadId));
    if (!thread) return false;
    ResumeThread(thread.Get());
    return true;
}

void HandoffSession::LetGo() {
    if (letGo) SetEvent(letGo.Get());
    // No thread could be made to tell an outcome known at once: told here, as the last resort.
    if (!thread && ended) Tell();
}

void HandoffSession::Abandon() {
    if (abandoned) SetEvent(abandoned.Get());
}

bool HandoffSession::OnOwnThread() const {
    return thread && GetCurrentThreadId() == threadId;
}

void HandoffSession::CloseOnOwnThread(std::unique_ptr<HandoffSession> session) {
    HandoffSession& self = *session;
    self.closedOnOwnThread = std::move(session);
    PostQuitMessage(0);
}

int HandoffSession::Wait(DWORD timeoutMs) const {
    if (!done || !abandoned) return status;
    HANDLE waits[] = {done.Get(), abandoned.Get()};
    switch (WaitForMultipleObjects(2, waits, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            return status;
        case WAIT_OBJECT_0 + 1:
            return SETUP_HANDOFF_NO_HANDLE;
        default:
            return SETUP_HANDOFF_PENDING;
    }
}

const RecordedNumber* HandoffSession::Number() const {
    return Wait(0) == SETUP_HANDOFF_DONE && number ? &*number : nullptr;
}

const std::string* HandoffSession::Identifier() const {
    const int now = Wait(0);
    return now != SETUP_HANDOFF_PENDING && now != SETUP_HANDOFF_NO_HANDLE && identifier
               ? &*identifier
               : nullptr;
}

DWORD WINAPI HandoffSession::ThreadMain(void* self) {
    auto* session = static_cast<HandoffSession*>(self);
    // An outcome known at once only waits to be told.
    if (session->ended) {
        session->Tell();
    } else {
        session->Serve();
    }
    // Closed from its own callback: nothing else refers to the session any more.
    const std::unique_ptr<HandoffSession> closed = std::move(session->closedOnOwnThread);
    return 0;
}

void HandoffSession::Serve() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &HandoffSession::WindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = windowClassName;
    RegisterClassW(&windowClass);  // a later session finds the class registered already
    // The caption as text: found by its text on every system, and by its cp1251 bytes through
    // the 8-bit call on a system whose code page is 1251. Hidden, top-level and not message-only,
    // so that FindWindow finds it by its title.
    const std::wstring caption = WideFromCp1251(setupWindowCaption);
    window = CreateWindowExW(0, windowClassName, caption.c_str(), WS_OVERLAPPED, 0, 0, 0, 0,
                             nullptr, nullptr, windowClass.hInstance, this);
    if (window == nullptr) {
        Finish(SETUP_HANDOFF_FAILED);
        SetEvent(ready.Get());
        Tell();
        return;
    }
    // The installer only looks for the window once the program has finished starting; signalling
    // here, before this thread's loop first waits for input, is in time.
    SetEvent(installerEvent.Get());
    // Not held: the name's end is the installer's.
    installerEvent.Reset();
    SetEvent(ready.Get());
    RunLoop();
    if (window != nullptr) DestroyWindow(window);
}

// Messages, and the end of the installer that started the program.
void HandoffSession::RunLoop() {
    for (;;) {
        HANDLE installerProcess = installer.Handle();
        const DWORD count = installerProcess ? 1 : 0;
        const DWORD woken =
            MsgWaitForMultipleObjects(count, &installerProcess, FALSE, INFINITE, QS_ALLINPUT);
        // A wait that fails on the installer's handle cannot watch its end any more: that ends
        // the hand-off as its end would.
        if (count == 1 && (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)) {
            OnInstallerEnded();
            continue;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            DispatchMessageW(&message);
        }
    }
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
        case KIT_TELL_MESSAGE:
            // The session's own post once the hand-off has ended; a post from anywhere else
            // before that, or any after it, does nothing.
            if (self->ended) self->Tell();
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
    if (ended || record == nullptr || IsWindow(sender) == FALSE) return FALSE;
    // Only the installer that started this program: a window of its parent process.
    DWORD senderProcess = 0;
    GetWindowThreadProcessId(sender, &senderProcess);
    if (!installer.Is(senderProcess)) return FALSE;
    auto received = InstallerIdentifier(record->lpData, record->cbData);
    if (!received) return FALSE;

    // Answered while the installer's send is under way. SMTO_BLOCK takes in no other message
    // meanwhile, so each record is settled before the next one is looked at.
    COPYDATASTRUCT answer{};
    answer.cbData = static_cast<DWORD>(received->size() + 1);
    answer.lpData = const_cast<char*>(received->c_str());
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                        reinterpret_cast<LPARAM>(&answer), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                        answerTimeoutMs, &ignored);
    answered = true;
    identifier = std::move(received);
    // When the send has returned, the installer has written its record if it took the answer.
    // A record that does not hold the number on the command line is not the one the installer
    // wrote for this program; while the installer runs, another record may still come. Its end
    // ends the wait (OnInstallerEnded).
    auto recorded = ReadRecordedNumber(*identifier);
    if (recorded && IsTypedNumber(*recorded)) {
        number = std::move(recorded);
        Finish(SETUP_HANDOFF_DONE);
    }
    return TRUE;
}

void HandoffSession::OnInstallerEnded() {
    installer.Forget();
    Finish(answered ? SETUP_HANDOFF_NO_RECORD : SETUP_HANDOFF_NO_INSTALLER);
}

bool HandoffSession::IsTypedNumber(const RecordedNumber& recorded) const {
    return typedText ? recorded.text == *typedText : recorded.bytes == typed;
}

void HandoffSession::Finish(int result) {
    if (ended) return;
    ended = true;
    status = result;
    // The outcome is in place before anyone is told: first a waiter, then the callback. On the
    // session's thread the callback's message goes first, so that it is handled before the
    // message that ends the thread when a waiter closes the session at once; it is handled once
    // this thread is back in its loop. An outcome known before there is a window is told by a
    // thread of its own.
    if (window != nullptr) PostMessageW(window, KIT_TELL_MESSAGE, 0, 0);
    if (done) SetEvent(done.Get());
    if (window == nullptr && !thread && callback != nullptr) StartThread();
}

void HandoffSession::Tell() {
    if (told) return;
    told = true;
    // Not before the program has its handle from Start; not at all when the handle went before.
    HANDLE waits[] = {letGo.Get(), abandoned.Get()};
    const bool let = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
    if (let && callback != nullptr) {
        callback(context, status, number ? number->bytes.c_str() : nullptr,
                 number ? number->bytes.size() : 0);
    }
    if (OnOwnThread()) PostQuitMessage(0);
}
