#pragma once

#include <optional>
#include <string_view>

// The article number on a set-up program's command line: the text after the installer's
// " /v" + launch marker + "=", to the end of the line. The installer passes the program's path
// apart, so the line usually starts with the space; a path in front is allowed. Nothing when the
// line does not carry the marker (or is null). The 8-bit form reads GetCommandLineA's text, the
// wide form GetCommandLineW's.
std::optional<std::string_view> CommandLineNumber(const char* commandLine);
std::optional<std::wstring_view> CommandLineNumber(const wchar_t* commandLine);
