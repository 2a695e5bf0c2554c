#pragma once

#include <string>

// The path of the set-up program a catalogue value names, for the program at programPath (UTF-8):
// ResolveSetupPath's path, and for a value that begins with "%" the system's full form of it
// (GetFullPathNameW: "." and ".." applied), which must still lie in the program's folder. Empty
// when the value is refused; the caller treats that as a missing program.
std::string SetupPathOnMedium(const std::string& value, const std::string& programPath);
