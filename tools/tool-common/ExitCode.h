#pragma once

// The catalogue tool's exit codes, the same for every command.
enum class ExitCode : int {
    Ok = 0,
    // A check failed: a catalogue that is not valid, a missing set-up program, a medium that
    // Windows would not see as given.
    CheckFailed = 1,
    // The command line, or a file that cannot be read or written.
    Usage = 2,
};

inline int ToInt(ExitCode code) {
    return static_cast<int>(code);
}
