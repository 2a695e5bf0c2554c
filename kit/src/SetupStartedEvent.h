#pragma once

#include "handoff/KernelHandle.h"

// The installer's named event "Setup Started" as a set-up program meets it. The installer makes
// it before it starts the program and holds it until it ends.
enum class InstallerEvent {
    // No such object: no installer is waiting for this program.
    missing,
    // Open (held by the given handle, to be signalled).
    open,
    // The name is taken by an object of another kind: an installer could not make its event and
    // goes on as if signalled.
    unusable,
};

// Opens the event to signal it; event receives the handle when it is open.
InstallerEvent OpenInstallerEvent(KernelHandle& event);
// True once no installer holds the event any more.
bool InstallerEventGone();
