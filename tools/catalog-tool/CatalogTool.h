#pragma once

#include <ostream>
#include <string>
#include <vector>

// The catalogue tool's command line: pack, dump, verify, check-medium, make-medium. Exit codes as
// ExitCode.h says; 128 + the signal's number when a signal stopped make-medium.
int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
