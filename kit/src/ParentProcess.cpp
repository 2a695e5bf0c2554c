#include "ParentProcess.h"

#include <map>

#include "handoff/ProcessParents.h"

namespace {

ULONGLONG StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return ~0ULL;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

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
    if (!handle || StartTime(handle.Get()) > StartTime(GetCurrentProcess())) return parent;
    parent.id = found->second;
    parent.handle = std::move(handle);
    return parent;
}
