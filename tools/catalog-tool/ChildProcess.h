#pragma once

#include <string>
#include <vector>

// Runs another program found on the search path and waits for it. Its output goes to this
// program's standard error.
namespace childprocess {

constexpr int kNotStarted = -1;

// The program's exit code, or kNotStarted when it could not be started (or ended by a signal).
// Each environment entry "NAME=value" is set for the child on top of this program's own.
int Run(const std::vector<std::string>& args, const std::vector<std::string>& environment);

}  // namespace childprocess
