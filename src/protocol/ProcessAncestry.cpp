// <tlhelp32.h> needs the definitions of <windows.h> first.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "protocol/HandoffProtocol.h"

std::map<DWORD, DWORD> ParentsOfProcesses() {
    std::map<DWORD, DWORD> parents;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return parents;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    return parents;
}

ULONGLONG ProcessCreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (process == nullptr || !GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

namespace {

ULONGLONG CreationTimeOf(DWORD processId) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return ProcessCreationTime(process.Get());
}

}  // namespace

LaunchedProcessTree::LaunchedProcessTree(HANDLE launched)
    : launchedId(launched != nullptr ? GetProcessId(launched) : 0),
      launchedCreated(ProcessCreationTime(launched)) {
    if (launchedId != 0 && launchedCreated != 0) parents = ParentsOfProcesses();
}

// Up the line of parents, each parent must have been created no later than its child, or its id
// belongs to a process that took it over after the child's parent ended.
bool LaunchedProcessTree::Holds(DWORD process) const {
    if (launchedId == 0 || launchedCreated == 0 || process == 0) return false;
    if (process == launchedId) return true;
    ULONGLONG childCreated = CreationTimeOf(process);
    // Bounded: a parent id reused by a later process can make a cycle.
    for (size_t step = 0; step <= parents.size() && childCreated != 0; ++step) {
        const auto parent = parents.find(process);
        if (parent == parents.end() || parent->second == process || parent->second == 0)
            return false;
        process = parent->second;
        const ULONGLONG parentCreated =
            process == launchedId ? launchedCreated : CreationTimeOf(process);
        if (parentCreated == 0 || parentCreated > childCreated) return false;
        if (process == launchedId) return true;
        childCreated = parentCreated;
    }
    return false;
}
