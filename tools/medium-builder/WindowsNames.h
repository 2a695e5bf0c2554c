#pragma once

#include <string>

// What Windows shows of a medium: the Joliet tree holds every name in UTF-16, at most 103
// characters long, and every path at most 240 bytes as the image records it. These rules tell
// which names of the set-up programs' folder Windows would not see as given. Names are UTF-8.
namespace windowsnames {

constexpr std::size_t kLongestName = 103;       // UTF-16 units, with long Joliet names
constexpr std::size_t kLongestPathBytes = 240;  // 1 for the root, then 1 + 2 per unit per name

// Empty for a name Windows holds as it is, else why not: not UTF-8, longer than the Joliet
// tree holds, a character Windows does not allow (< > : " / \ | ? * and control characters), a
// trailing dot or blank, or a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with
// or without an extension).
std::string NameProblem(const std::string& name);

// The bytes the Joliet tree counts for a path of names below the root ("a/b/c").
std::size_t JolietPathBytes(const std::string& relativePath);

// The name as Windows compares names: letters of the Latin, Latin-1, Greek and Cyrillic
// alphabets in capitals, everything else as it is.
std::string CaseFolded(const std::string& name);

}  // namespace windowsnames
