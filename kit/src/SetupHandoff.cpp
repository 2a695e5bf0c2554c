// The kit's C interface over HandoffSession.
#include <atomic>

#include "CommandLineNumber.h"
#include "HandoffSession.h"
#include "setup_handoff.h"

namespace {

// Whether a handle that serves the hand-off is open in this process.
std::atomic<bool> serving{false};

}  // namespace

struct SetupHandoff {
    std::unique_ptr<HandoffSession> session;
    bool serves = false;
};

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
        std::unique_ptr<SetupHandoff> handoff(new SetupHandoff);
        handoff->serves = first;
        handoff->session =
            first ? HandoffSession::Start(commandLine, callback, context)
                  : HandoffSession::Ended(SETUP_HANDOFF_ALREADY_STARTED, callback, context);
        return handoff.release();
    } catch (...) {
        // Out of memory: nothing else throws, and nothing may reach the C caller.
        if (first) serving = false;
        return nullptr;
    }
}

int SetupHandoffWait(SetupHandoff* handoff, unsigned long timeoutMs) {
    if (handoff == nullptr) return SETUP_HANDOFF_NO_HANDLE;
    return handoff->session->Wait(timeoutMs);
}

const char* SetupHandoffNumber(const SetupHandoff* handoff, size_t* length) {
    const RecordedNumber* number = handoff != nullptr ? handoff->session->Number() : nullptr;
    if (number == nullptr) return nullptr;
    if (length != nullptr) *length = number->bytes.size();
    return number->bytes.c_str();
}

const wchar_t* SetupHandoffNumberW(const SetupHandoff* handoff, size_t* length) {
    const RecordedNumber* number = handoff != nullptr ? handoff->session->Number() : nullptr;
    if (number == nullptr) return nullptr;
    if (length != nullptr) *length = number->text.size();
    return number->text.c_str();
}

const char* SetupHandoffIdentifier(const SetupHandoff* handoff) {
    const std::string* identifier = handoff != nullptr ? handoff->session->Identifier() : nullptr;
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
    if (handoff == nullptr) return;
    const bool serves = handoff->serves;
    // From the session's own callback: its thread frees it once the callback has returned.
    if (handoff->session->OnOwnThread()) {
        HandoffSession::CloseOnOwnThread(std::move(handoff->session));
    }
    delete handoff;
    if (serves) serving = false;
}

}  // extern "C"
