#include "AncestorProcesses.h"

#include <algorithm>
#include <map>

#include "handoff/ProcessParents.h"

namespace {

// More than any chain of installer, launchers and set-up program needs; it also ends a loop of
// ids that a snapshot may show.
constexpr size_t maxAncestors = 16;

ULONGLONG StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return ~0ULL;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// For waiting on its end and reading its start time; the limited right where the system has it.
HANDLE OpenAncestor(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    return process ? process : OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
}

}  // namespace

AncestorProcesses AncestorProcesses::OfThisProcess() {
    AncestorProcesses ancestors;
    const std::map<DWORD, DWORD> parents = ParentsOfProcesses();
    DWORD child = GetCurrentProcessId();
    ULONGLONG childStart = StartTime(GetCurrentProcess());
    while (ancestors.processes.size() < maxAncestors) {
        const auto parent = parents.find(child);
        if (parent == parents.end() || parent->second == 0 || parent->second == child) break;
        KernelHandle handle(OpenAncestor(parent->second));
        const ULONGLONG start = handle ? StartTime(handle.Get()) : ~0ULL;
        if (start > childStart) break;
        child = parent->second;
        childStart = start;
        ancestors.processes.push_back({child, std::move(handle)});
    }
    return ancestors;
}

bool AncestorProcesses::Contains(DWORD processId) const {
    return std::any_of(processes.begin(), processes.end(),
                       [&](const Process& process) { return process.id == processId; });
}

std::vector<HANDLE> AncestorProcesses::Handles() const {
    std::vector<HANDLE> handles;
    for (const Process& process : processes) handles.push_back(process.handle.Get());
    return handles;
}

DWORD AncestorProcesses::Forget(HANDLE ended) {
    const auto found =
        std::find_if(processes.begin(), processes.end(),
                     [&](const Process& process) { return process.handle.Get() == ended; });
    if (found == processes.end()) return 0;
    const DWORD id = found->id;
    processes.erase(found);
    return id;
}
