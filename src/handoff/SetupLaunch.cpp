#include "handoff/SetupLaunch.h"

#include "handoff/HandoffRegistry.h"
#include "handoff/SetupProcess.h"
#include "protocol/HandoffProtocol.h"

SetupLaunch::SetupLaunch()
    : startedEvent(CreateEventA(nullptr, FALSE, FALSE, setupStartedEventName)) {}

SetupLaunch::~SetupLaunch() {
    startedEvent.Release();
}

void SetupLaunch::ForgetEarlierSignals() {
    ResetEvent(startedEvent.Get());
}

SetupLaunch::Start SetupLaunch::StartProgram(const std::string& path,
                                             const std::string& articleNumber) {
    settled = false;
    number = articleNumber;
    bool signalTaken = false;
    if (!StartSetupProcess(path, BuildCommandLine(number), process, startedEvent.Get(),
                           &signalTaken))
        return Start::failed;
    started = true;
    if (signalTaken) return Start::signalled;
    // The set-up program signals while it starts, and it has finished starting now (a console
    // program: it has ended or had its time, or the start's wait has taken its signal); a signal
    // given since the installer's start counts too. Only a signal counts: without an event of its
    // own (the name taken by another object) or with a wait that fails, there is no hand-off.
    if (!startedEvent || WaitForSingleObject(startedEvent.Get(), 1) != WAIT_OBJECT_0)
        return Start::unsignalled;
    return Start::signalled;
}

SetupLaunch::Handover SetupLaunch::HandOver(const std::wstring& caption, HWND replyTo) {
    if (caption.empty()) return Handover::noCaption;
    window = FindSetupWindow(caption, process.Get());
    if (window == nullptr) return Handover::noWindow;
    DWORD windowProcessId = 0;
    GetWindowThreadProcessId(window, &windowProcessId);
    windowProcess.Reset(OpenProcess(SYNCHRONIZE, FALSE, windowProcessId));
    classId = MakeHandoffClassId();
    SendHandoffClassId(window, replyTo, startedEvent.Get(), classId);
    return Handover::sent;
}

void SetupLaunch::TakeAnswer(const COPYDATASTRUCT* record) {
    const std::string received =
        record != nullptr ? ReceivedReplyText(record->lpData, record->cbData) : std::string();
    if (!IsAcceptedReply(classId, received)) return;
    WriteHandoffRecord(classId, number);
    settled = true;
}

bool SetupLaunch::SetupGone() const {
    const bool programEnded =
        windowProcess && WaitForSingleObject(windowProcess.Get(), 0) == WAIT_OBJECT_0;
    return !IsWindow(window) || programEnded;
}

void SetupLaunch::End() {
    if (!settled) startedEvent.Reset();
}
