#pragma once

#include <string>
#include <vector>

// The text rules that turn a typed article number into candidates and a catalogue value into a
// set-up path. Texts are 8-bit strings compared byte by byte.

// The character that stands for a language letter at the start of an article number.
constexpr char placeholderLetter = 'Z';
// The character that, leading a catalogue value, stands for the program's drive.
constexpr char drivePlaceholder = '%';

// Removes space, tab, line feed, vertical tab, form feed and carriage return from both ends.
std::string TrimArticleNumber(const std::string& number);

bool IsPlaceholderNumber(const std::string& number);

// One candidate per language letter, in table order; every placeholder letter of the number is
// replaced by that letter.
struct Candidate {
    int languageIndex;
    std::string number;
};
std::vector<Candidate> ExpandCandidates(const std::string& number);

// True when a catalogue value begins with the drive placeholder: the value names a file on the
// program's own drive.
bool IsOnProgramDrive(const std::string& value);

// For a value on the program's drive, every placeholder in it becomes the first character of
// programPath; any other value is returned unchanged.
std::string ResolveSetupPath(const std::string& value, const std::string& programPath);

// The row of the language table whose letter is the number's first character, or -1. An empty
// number gives 0.
int LanguageIndexOf(const std::string& number);
