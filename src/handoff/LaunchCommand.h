#pragma once

#include <cstddef>
#include <string>

// The command line a set-up program is started with: " /v", the launch marker, "=" and the
// article number. The program path is passed apart, so the line starts with the space.

constexpr size_t launchMarkerLength = 23;
// Characters in front of the article number: " /v", the marker and "=".
constexpr size_t commandLinePrefixLength = 3 + launchMarkerLength + 1;

// Writes size - 1 capital letters of the launch marker and a zero byte at buffer[size - 1]. Letter
// i is 'A' + (start + i * step) % 25 for fixed start and step, so only A to Y ever appear and the
// word is the same on every call. A size of 0 writes nothing.
void BuildLaunchMarker(char* buffer, size_t size);

// The launch marker itself, the 23 letters that BuildLaunchMarker writes for a size of 24.
std::string LaunchMarker();

// The whole command line for an article number of any length; nothing of the number is dropped.
std::string BuildCommandLine(const std::string& number);

// Whether an environment entry ("NAME=value") sets a variable of the .NET runtime's loader hooks,
// COR_* or COMPlus_* (names in any letter case): through them a user's own environment could
// load a library into an elevated .NET set-up program, so the set-up program never gets them.
bool IsRuntimeHookVariable(const std::wstring& entry);
