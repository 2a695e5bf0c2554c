#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The catalogue tool's file layer: the operations that differ between the platforms. Names on the
// command line and in messages are UTF-8 on every platform.
namespace toolfiles {

// A command-line name as a path, and back for messages.
std::filesystem::path FromArgument(const std::string& name);
std::string ToArgument(const std::filesystem::path& path);

// The folder a path lies in: "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& target);

// True when a file or a folder exists at the UTF-8 path.
bool Exists(const std::string& path);
// True when anything stands at path itself, a link to nothing too.
bool Present(const std::filesystem::path& path);

// Moves from onto to. Without replace an existing to is left alone and the move fails, checked
// in the same step as the move (a file or folder that appears at to meanwhile is never replaced).
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to,
                   bool replace);
// After a failed MoveIntoPlace: true when something stood at to.
bool LastMoveFoundTarget();
// The last system call's failure, in words.
std::string LastSystemError();

// Sets the modification (and access) time of a file or folder, seconds since 1970 UTC.
bool SetModificationTime(const std::filesystem::path& path, std::int64_t seconds);
// Seconds since 1970 of a file's modification time; -1 when it cannot be read.
std::int64_t ModificationTime(const std::filesystem::path& path);

// The folder the running program file lies in; empty when it cannot be found.
std::filesystem::path OwnProgramFolder();

// Bytes free for this user on the file system that holds path; -1 when unknown.
std::int64_t FreeBytes(const std::filesystem::path& path);

// The longest name a file may have in folder; 255 when the system does not say.
std::size_t LongestName(const std::filesystem::path& folder);

}  // namespace toolfiles
