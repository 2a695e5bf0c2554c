#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The file operations of the medium builder that differ between the platforms. Names given on
// the command line are the system's narrow text (UTF-8 here, the ANSI code page on Windows).
namespace mediumfiles {

// A command-line name as a path, and back for messages.
std::filesystem::path FromArgument(const std::string& name);
std::string ToArgument(const std::filesystem::path& path);

// Sets the modification (and access) time of a file or folder, seconds since 1970 UTC.
bool SetModificationTime(const std::filesystem::path& path, std::int64_t seconds);
// Seconds since 1970 of a file's modification time; -1 when it cannot be read.
std::int64_t ModificationTime(const std::filesystem::path& path);

// The folder the running program file lies in; empty when it cannot be found.
std::filesystem::path OwnProgramFolder();

}  // namespace mediumfiles
