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
// trailing dot or blank, a ';' (the Joliet tree cannot hold it), or a reserved device name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM and LPT with 0-9 or a superscript 1-3, with or without an
// extension).
std::string NameProblem(const std::string& name);

// The text with every control character written as a C escape (\n, \t, \x1B), the rest as it is.
std::string ControlsEscaped(const std::string& text);

// A path as a report line shows it: as it is, or, when it holds a control character (a newline
// would break the one-problem-per-line report), in double quotes with C escapes.
std::string Shown(const std::string& path);

// The bytes the Joliet tree counts for a path of names below the root ("a/b/c").
std::size_t JolietPathBytes(const std::string& relativePath);

// The name as Windows compares names: every character through its table of capitals (see
// WindowsUpcase.h).
std::string CaseFolded(const std::string& name);

}  // namespace windowsnames
