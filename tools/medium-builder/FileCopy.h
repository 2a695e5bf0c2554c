#pragma once

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/types.h>
#endif

// Copies a file's bytes to a new file, of any size, in the kernel where it can
// (copy_file_range, then sendfile), keeping holes: a sparse file stays sparse. A failure names
// the side it happened on; a full disk is named as such, with the target.
bool CopyFileContents(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string& error);

#ifndef _WIN32
// The same from a file already open for reading, of size bytes (from names it in messages).
bool CopyOpenFile(int input, off_t size, const std::filesystem::path& from,
                  const std::filesystem::path& to, std::string& error);
#endif
