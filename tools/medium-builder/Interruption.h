#pragma once

// SIGTERM, SIGINT and SIGHUP while a medium is built: the signal is noted, the running child
// (xorriso) is told to end, and the build stops at its next step, removing its temporaries on the
// way out. Natively only; on Windows the console's break ends the tool and its child together.
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

// The child to end when a signal arrives; 0 for none.
void SetChild(long process);

}  // namespace interruption
