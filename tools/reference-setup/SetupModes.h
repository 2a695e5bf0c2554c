#pragma once

#include <memory>

#include "SetupLog.h"
#include "SetupOptions.h"

// What one build of the reference set-up program adds to the kit's way of taking part in the
// hand-off. The program on the sample medium adds nothing (PlainModes.cpp). The tests' build
// (tests/programs/reference-setup) takes its options from its environment and has the modes that
// play the set-up side without the kit, only signal, or take no part.
class SetupMode {
  public:
    virtual ~SetupMode() = default;
    // Serves the mode until the program is to end: after exitAfterMs, or with 0 until it is ended.
    virtual void Run(unsigned exitAfterMs) = 0;
};

// This build's options.
SetupOptions ReadSetupOptions();

// Starts the mode the options name, at once; none when the kit is to serve the hand-off.
std::unique_ptr<SetupMode> StartSetupMode(const SetupOptions& options, const SetupLog& log);
