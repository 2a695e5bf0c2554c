#pragma once

#include <string>

// The program's side of every text crossing into Windows, which speaks UTF-16. A text is
// converted with the code page it really is in: cp1251 for the catalogue, the article numbers and
// the texts shared with set-up programs, UTF-8 for paths. Never the system's code page.

std::wstring WideFromCp1251(const std::string& bytes);
// False when a character of text has no byte in cp1251; bytes is then unchanged.
bool Cp1251FromWide(const std::wstring& text, std::string& bytes);

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& text);
