#pragma once

#include <cstddef>
#include <string>

// Tells whether a byte starts a double-byte character of the active code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// The byte predicate of UTF-8 paths: none. Every byte of a UTF-8 multi-byte character is 0x80 or
// above, so a backslash or a dot byte is always that character itself.
bool NoLeadByte(unsigned char byte);

// Index of the last occurrence of `separator` in `text`, or std::string::npos. The search walks the
// text character by character, so the second byte of a double-byte character is never taken for a
// separator. A lead byte at the very end of the text stands alone.
std::size_t FindLastSeparator(const std::string& text, char separator,
                              LeadBytePredicate isLeadByte);

// True when the last character of `text` is `separator` (a trailing byte of a double-byte character
// does not count).
bool EndsWithSeparator(const std::string& text, char separator, LeadBytePredicate isLeadByte);

// The search pattern that tells whether something exists at `fullPath`: a drive root such as "D:\"
// becomes "D:\*" (any entry in the root), a directory path loses its trailing backslash, anything
// else stays as it is.
std::string ExistenceQuery(const std::string& fullPath, LeadBytePredicate isLeadByte);
