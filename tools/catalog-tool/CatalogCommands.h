#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ExitCode.h"

// The commands on install.crt files. args are the command's arguments after its name.
namespace catalogcommands {

ExitCode Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
ExitCode Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
ExitCode Verify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
ExitCode CheckMedium(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace catalogcommands
