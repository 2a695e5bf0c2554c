#pragma once

#include "util/KernelHandle.h"

// The installer's named event "Setup Started" as a set-up program meets it. The installer makes
// it before it starts the program and holds it until it ends.
enum class InstallerEvent {
    // No such object: no installer is waiting for this program.
    missing,
    // Open (held by the given handle, to be signalled).
    open,
    // The name is taken by an object of another kind, or by an event this program may not set:
    // another program took the name, and no installer hands a number over under it.
    unusable,
};

// Opens the event to signal it; event receives the handle when it is open.
InstallerEvent OpenInstallerEvent(KernelHandle& event);
