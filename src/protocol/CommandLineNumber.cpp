#include <string>

#include "protocol/HandoffProtocol.h"

namespace {

template <typename Char>
std::optional<std::basic_string_view<Char>> NumberAfterMarker(const Char* commandLine) {
    if (commandLine == nullptr) return std::nullopt;
    // The marker's characters are ASCII, the same in every form of the line.
    static const std::string marker = BuildCommandLine("");
    static const std::basic_string<Char> prefix(marker.begin(), marker.end());
    const std::basic_string_view<Char> line(commandLine);
    const size_t at = line.find(prefix);
    if (at == std::basic_string_view<Char>::npos) return std::nullopt;
    return line.substr(at + prefix.size());
}

}  // namespace

std::optional<std::string_view> CommandLineNumber(const char* commandLine) {
    return NumberAfterMarker(commandLine);
}

std::optional<std::wstring_view> CommandLineNumber(const wchar_t* commandLine) {
    return NumberAfterMarker(commandLine);
}
