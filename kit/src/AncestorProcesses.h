#pragma once

#include <windows.h>

#include <vector>

#include "handoff/KernelHandle.h"

// The processes this one descends from: its parent, the parent's parent and so on, each held
// open so that its id stays its own while it is held. An id whose process started after its child
// belongs to a later process that took over the id of one that ended; the line stops there.
class AncestorProcesses {
  public:
    static AncestorProcesses OfThisProcess();

    // True when processId is one of them and it has not been forgotten.
    bool Contains(DWORD processId) const;
    // The handles of those not forgotten, to wait for their ends.
    std::vector<HANDLE> Handles() const;
    // Drops the one whose handle this is (it has ended) and gives its id.
    DWORD Forget(HANDLE ended);
    bool Empty() const { return processes.empty(); }

  private:
    struct Process {
        DWORD id;
        KernelHandle handle;
    };
    std::vector<Process> processes;
};
