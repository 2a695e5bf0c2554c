#include "handoff/ProcessParents.h"

#include <tlhelp32.h>

#include "handoff/KernelHandle.h"

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
