#include "CommandLineNumber.h"

#include "handoff/LaunchCommand.h"

std::optional<std::string_view> CommandLineNumber(const char* commandLine) {
    if (commandLine == nullptr) return std::nullopt;
    static const std::string prefix = BuildCommandLine("");
    const std::string_view line(commandLine);
    const size_t at = line.find(prefix);
    if (at == std::string_view::npos) return std::nullopt;
    return line.substr(at + prefix.size());
}
