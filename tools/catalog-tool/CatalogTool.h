#pragma once

#include <ostream>
#include <string>
#include <vector>

// The catalogue tool's commands: pack, dump, verify, check-medium, make-medium. Exit codes: 0 ok, 1
// a check failed, 2 a usage error or a file that cannot be read or written.
int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
