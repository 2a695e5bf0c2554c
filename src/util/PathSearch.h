#pragma once

#include <cstddef>
#include <string>

// Separator searches in UTF-8 paths. Every byte of a UTF-8 multi-byte character is 0x80 or above,
// so a backslash or a dot byte is always that character itself.

// Index of the last occurrence of `separator` in `text`, or std::string::npos.
std::size_t FindLastSeparator(const std::string& text, char separator);

// True when the last character of `text` is `separator`.
bool EndsWithSeparator(const std::string& text, char separator);

// The search pattern that tells whether something exists at `fullPath`: a drive root such as "D:\"
// becomes "D:\*" (any entry in the root), a directory path loses its trailing backslash, anything
// else stays as it is.
std::string ExistenceQuery(const std::string& fullPath);
