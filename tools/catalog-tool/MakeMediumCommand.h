#pragma once

#include <ostream>
#include <string>
#include <vector>

// make-medium's command line. args are the arguments after the command's name; the exit code, or
// 128 + a signal that stopped the build.
int MakeMediumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The command's lines in the tool's usage text.
extern const char kMakeMediumUsage[];
