#pragma once

#include <cstdint>

// SIGTERM, SIGINT and SIGHUP while a medium is built (on Windows the console's Ctrl+C, Ctrl+Break
// and close, noted as SIGINT and SIGTERM): the signal is noted, the running child (xorriso) is
// ended, and the build stops at its next step, removing its temporaries on the way out.
namespace interruption {

// Catches the signals for as long as it lives and restores the earlier handling after.
class Guard {
  public:
    Guard();
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

// The signal that arrived, or 0.
int Signal();

// The child to end when a signal arrives: its process id natively, the handle of the job it runs
// in on Windows; 0 for none.
void SetChild(std::intptr_t child);

}  // namespace interruption
