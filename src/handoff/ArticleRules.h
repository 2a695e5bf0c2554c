#pragma once

#include <functional>
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

// One candidate per language letter (protocol/HandoffProtocol.h), in their order; every placeholder
// letter of the number is replaced by that letter.
struct Candidate {
    int languageIndex;
    std::string number;
};
std::vector<Candidate> ExpandCandidates(const std::string& number);

// Answers whether the catalogue holds an article number as a key.
using CatalogKeyTest = std::function<bool(const std::string&)>;

// Whether the catalogue knows a (trimmed) number: holds it, or, for a placeholder number, holds
// any of its candidates.
bool IsKnownNumber(const std::string& number, const CatalogKeyTest& isKey);

// The number with every Cyrillic letter that looks like a Latin capital (cp1251 А В Е К М Н О Р
// С Т Х, capital or small: the number field shows every letter as a capital) replaced by that
// Latin capital. Every other byte stays.
std::string ReplaceLookAlikeLetters(const std::string& number);

// The number to go on with for a typed (trimmed) one. Article numbers are Latin letters and
// digits, and a Cyrillic letter typed in the Russian keyboard layout looks the same: the number as
// typed when the catalogue knows it, otherwise the number with its look-alike letters replaced
// when the catalogue knows that, otherwise the number as typed.
std::string ChooseTypedNumber(const std::string& number, const CatalogKeyTest& isKey);

// True when a catalogue value begins with the drive placeholder: the value names a file on the
// program's own drive.
bool IsOnProgramDrive(const std::string& value);

// The drive letter of a program path ("D:\..." or "\\?\D:\..."); 0 for one without (a network
// path, "\\?\UNC\...").
char DriveLetterOf(const std::string& programPath);

// For a value that begins with the drive placeholder: the path below the medium's folder that it
// names, as written, with no leading backslash. "%:" stands for the medium's folder
// ("%:\English\setup.exe" gives "English\setup.exe"); every other "%" stands for driveLetter, and a
// value that holds one has no path here when driveLetter is 0. "." and ".." stay for the caller to
// judge. The installer and the medium builder both take a medium value's place from this rule.
bool PathBelowMedium(const std::string& value, char driveLetter, std::string& below);

// A catalogue value as the path of a set-up program, for the program at programPath, whose folder
// is the medium's (the one that holds the catalogue); empty when the value is refused:
// - a value that begins with "%" lies in the medium's folder (PathBelowMedium); refused when it
//   needs a drive letter the program path has none of;
// - a path with a drive letter and a backslash ("C:\x") or a network path ("\\host\x",
//   "\\?\...") stays as it is;
// - a path rooted without a drive ("\x") or relative to a drive's current folder ("C:x") is
// refused:
//   it would name whatever the current drive or folder holds;
// - any other path is relative and is taken in the medium's folder, never in the current one.
// Without a program folder only absolute values stay. Paths are UTF-8 with backslashes. Whether a
// "%" value still lies in the medium's folder once its "." and ".." are applied is the platform's
// to say (LiesInFolder, after the system has made the path full).
std::string ResolveSetupPath(const std::string& value, const std::string& programPath);

// The folder of a program path with its closing backslash ("D:\medium\" for
// "D:\medium\installer.exe"); empty when the path names no folder.
std::string ProgramFolderOf(const std::string& programPath);

// Whether a full path names something below folder (which ends with a backslash): it begins with
// the folder's text and no name after it is empty, "." or "..".
bool LiesInFolder(const std::string& fullPath, const std::string& folder);
