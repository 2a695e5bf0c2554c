#include "protocol/HandoffProtocol.h"

namespace {

// For waiting on its end and reading its start time; the limited right where the system has it.
HANDLE OpenForWaiting(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    return process ? process : OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
}

}  // namespace

ParentProcess ParentProcess::OfThisProcess() {
    ParentProcess parent;
    const DWORD self = GetCurrentProcessId();
    const std::map<DWORD, DWORD> parents = ParentsOfProcesses();
    const auto found = parents.find(self);
    if (found == parents.end() || found->second == 0 || found->second == self) return parent;
    KernelHandle handle(OpenForWaiting(found->second));
    // A parent whose start cannot be read, or that started after this process, is not ours.
    const ULONGLONG parentStarted = ProcessCreationTime(handle.Get());
    if (parentStarted == 0 || parentStarted > ProcessCreationTime(GetCurrentProcess()))
        return parent;
    parent.id = found->second;
    parent.handle = std::move(handle);
    return parent;
}
