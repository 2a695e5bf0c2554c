// The program on the sample medium: the kit serves the hand-off, the status window shows what
// came, and nothing steers it.

#include "SetupModes.h"

SetupOptions ReadSetupOptions() {
    return {};
}

std::unique_ptr<SetupMode> StartSetupMode(const SetupOptions&, const SetupLog&) {
    return nullptr;
}
