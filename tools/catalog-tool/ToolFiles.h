#pragma once

#include <string>

// The few file operations of the catalogue tool that differ between the platforms.
namespace toolfiles {

// True when a file or a directory exists at path.
bool Exists(const std::string& path);
// Moves from onto to. Without replace an existing to is left alone and the move fails.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool replace);
bool Remove(const std::string& path);
// The folder part of a path, with its trailing separator; empty for a bare file name.
std::string FolderOf(const std::string& path);
// Joins a medium root and a path below it written with backslashes.
std::string JoinMediumPath(const std::string& root, const std::string& relativeBackslashed);

}  // namespace toolfiles
