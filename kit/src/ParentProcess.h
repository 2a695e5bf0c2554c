#pragma once

#include <windows.h>

#include "handoff/KernelHandle.h"

// The process that started this one, held open so that its id stays its own while it is held. A
// process under the parent's id that started after this one took the id over from the parent,
// which has ended: then there is no parent.
class ParentProcess {
  public:
    static ParentProcess OfThisProcess();

    // True when processId is the parent's and its end has not been seen.
    bool Is(DWORD processId) const { return handle && processId == id; }
    // To wait for its end; null when there is no parent or its end has been seen.
    HANDLE Handle() const { return handle.Get(); }
    // Its end has been seen.
    void Forget() { handle.Reset(); }

  private:
    DWORD id = 0;
    KernelHandle handle;
};
