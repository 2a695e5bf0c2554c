#pragma once

// The capital Windows compares a character of a name as: its file systems hold one table of
// capitals for the basic multilingual plane, the simple upper-case mapping of Unicode, and two
// names in one folder are the same when they match character by character through it. Characters
// beyond the basic plane are compared as they are.
namespace windowsupcase {

char32_t Upper(char32_t c);

}  // namespace windowsupcase
