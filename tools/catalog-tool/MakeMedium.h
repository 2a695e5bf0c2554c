#pragma once

#include <ostream>
#include <string>
#include <vector>

// The make-medium command: a medium folder, and on request its ISO image, from a catalogue
// source, the set-up programs' folder and installer.exe. Exit codes as the catalogue tool's.
// args[0] is the command's name.
int MakeMedium(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The command's line in the tool's usage text.
extern const char kMakeMediumUsage[];
