#pragma once

#include <string>

// How the tests' build takes part in the hand-off besides the kit's way, from its environment
// (tools/reference-setup/SetupOptions.h names the variables).
struct SteeredOptions {
    enum class Handoff { serve, window, signal, none };
    enum class Reply { exact, later, lower, noBrace, none };

    Handoff handoff = Handoff::serve;
    Reply reply = Reply::exact;
};

SteeredOptions ReadSteeredOptions();

// The text sent back for a received identifier; empty for Reply::none.
std::string ReplyFor(const std::string& classId, SteeredOptions::Reply reply);
