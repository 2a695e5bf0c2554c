// The kit's C interface over HandoffSession.
#include <new>

#include "CommandLineNumber.h"
#include "HandoffSession.h"
#include "setup_handoff.h"

struct SetupHandoff {
    std::unique_ptr<HandoffSession> session;
};

extern "C" {

const char* SetupHandoffFindNumber(const char* commandLine, size_t* length) {
    const auto number = CommandLineNumber(commandLine);
    if (!number) return nullptr;
    if (length != nullptr) *length = number->size();
    return number->data();
}

SetupHandoff* SetupHandoffStart(const char* commandLine, SetupHandoffCallback callback,
                                void* context) {
    try {
        auto* handoff = new SetupHandoff;
        handoff->session = HandoffSession::Start(commandLine, callback, context);
        return handoff;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int SetupHandoffWait(SetupHandoff* handoff, unsigned long timeoutMs) {
    if (handoff == nullptr) return SETUP_HANDOFF_FAILED;
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

void SetupHandoffClose(SetupHandoff* handoff) {
    delete handoff;
}

}  // extern "C"
