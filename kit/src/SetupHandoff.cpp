// The kit's C interface over HandoffSession.
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

#include "HandoffSession.h"
#include "protocol/HandoffProtocol.h"
#include "setup_handoff.h"

// A handle as the program holds it. It stays for as long as the program runs: closing it frees
// its session, and every later call on it finds it closed.
struct SetupHandoff {
    mutable std::mutex lock;
    // Null once closed. A call under way on another thread holds the session until it returns.
    std::shared_ptr<HandoffSession> session;
    bool serves = false;
};

namespace {

// Whether a handle that serves the hand-off is open in this process.
std::atomic<bool> serving{false};

std::mutex handlesLock;

// Every handle given out. Never freed, so that no handle dangles and no session is freed by the
// program's end while its thread may run a callback.
std::deque<SetupHandoff>& Handles() {
    static std::deque<SetupHandoff>& handles = *new std::deque<SetupHandoff>;
    return handles;
}

// Frees a session; from its own thread (its callback) once that thread is done with it.
void FreeSession(HandoffSession* session) {
    std::unique_ptr<HandoffSession> owned(session);
    if (owned->OnOwnThread()) HandoffSession::CloseOnOwnThread(std::move(owned));
}

std::shared_ptr<HandoffSession> SessionOf(const SetupHandoff* handoff) {
    if (handoff == nullptr) return nullptr;
    const std::lock_guard<std::mutex> hold(handoff->lock);
    return handoff->session;
}

}  // namespace

extern "C" {

const char* SetupHandoffFindNumber(const char* commandLine, size_t* length) {
    const auto number = CommandLineNumber(commandLine);
    if (!number) return nullptr;
    if (length != nullptr) *length = number->size();
    return number->data();
}

const wchar_t* SetupHandoffFindNumberW(const wchar_t* commandLine, size_t* length) {
    const auto number = CommandLineNumber(commandLine);
    if (!number) return nullptr;
    if (length != nullptr) *length = number->size();
    return number->data();
}

SetupHandoff* SetupHandoffStart(const char* commandLine, SetupHandoffCallback callback,
                                void* context) {
    const bool first = !serving.exchange(true);
    try {
        std::unique_ptr<HandoffSession> session =
            first ? HandoffSession::Start(commandLine, callback, context)
                  : HandoffSession::Ended(SETUP_HANDOFF_ALREADY_STARTED, callback, context);
        HandoffSession& started = *session;
        SetupHandoff* handoff = nullptr;
        {
            const std::lock_guard<std::mutex> hold(handlesLock);
            handoff = &Handles().emplace_back();
        }
        handoff->serves = first;
        handoff->session.reset(session.release(), &FreeSession);
        started.LetGo();
        return handoff;
    } catch (...) {
        // Out of memory: nothing else throws, and nothing may reach the C caller.
        if (first) serving = false;
        return nullptr;
    }
}

int SetupHandoffWait(SetupHandoff* handoff, unsigned long timeoutMs) {
    const std::shared_ptr<HandoffSession> session = SessionOf(handoff);
    return session ? session->Wait(timeoutMs) : SETUP_HANDOFF_NO_HANDLE;
}

const char* SetupHandoffNumber(const SetupHandoff* handoff, size_t* length) {
    const std::shared_ptr<HandoffSession> session = SessionOf(handoff);
    const RecordedNumber* number = session ? session->Number() : nullptr;
    if (number == nullptr) return nullptr;
    if (length != nullptr) *length = number->bytes.size();
    return number->bytes.c_str();
}

const wchar_t* SetupHandoffNumberW(const SetupHandoff* handoff, size_t* length) {
    const std::shared_ptr<HandoffSession> session = SessionOf(handoff);
    const RecordedNumber* number = session ? session->Number() : nullptr;
    if (number == nullptr) return nullptr;
    if (length != nullptr) *length = number->text.size();
    return number->text.c_str();
}

const char* SetupHandoffIdentifier(const SetupHandoff* handoff) {
    const std::shared_ptr<HandoffSession> session = SessionOf(handoff);
    const std::string* identifier = session ? session->Identifier() : nullptr;
    return identifier != nullptr ? identifier->c_str() : nullptr;
}

const char* SetupHandoffStatusName(int status) {
    switch (status) {
        case SETUP_HANDOFF_DONE:
            return "SETUP_HANDOFF_DONE";
        case SETUP_HANDOFF_PENDING:
            return "SETUP_HANDOFF_PENDING";
        case SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER:
            return "SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER";
        case SETUP_HANDOFF_NOT_OFFERED:
            return "SETUP_HANDOFF_NOT_OFFERED";
        case SETUP_HANDOFF_NO_RECORD:
            return "SETUP_HANDOFF_NO_RECORD";
        case SETUP_HANDOFF_FAILED:
            return "SETUP_HANDOFF_FAILED";
        case SETUP_HANDOFF_NO_INSTALLER:
            return "SETUP_HANDOFF_NO_INSTALLER";
        case SETUP_HANDOFF_ALREADY_STARTED:
            return "SETUP_HANDOFF_ALREADY_STARTED";
        case SETUP_HANDOFF_NO_HANDLE:
            return "SETUP_HANDOFF_NO_HANDLE";
        default:
            return "unknown status";
    }
}

void SetupHandoffClose(SetupHandoff* handoff) {
    std::shared_ptr<HandoffSession> session = SessionOf(handoff);
    // NULL, or closed before.
    if (!session) return;
    // From another thread the service ends first, so that a callback that is due runs and still
    // finds its handle open.
    session->Stop();
    {
        const std::lock_guard<std::mutex> hold(handoff->lock);
        // Closed meanwhile on another thread.
        if (handoff->session != session) return;
        handoff->session.reset();
    }
    session->Abandon();
    // Frees it here, from its own callback once that has returned, or when a call under way on
    // another thread returns.
    session.reset();
    if (handoff->serves) serving = false;
}

}  // extern "C"
