#pragma once

#include <string>
#include <vector>

// Texts and paths as the tests meet them: the program shows 8-bit cp1251 text, the tests are
// written in UTF-8, and the build gives host paths that the Windows programs see through Wine.
namespace support {

// cp1251 text as UTF-8, for messages printed by the tests.
std::string ToUtf8(const std::string& cp1251);
// Each of the texts as UTF-8, e.g. a list's items.
std::vector<std::string> ToUtf8(const std::vector<std::string>& cp1251);
// UTF-8 text (the tests' source literals) as the cp1251 bytes the program shows.
std::string Cp1251(const std::string& utf8);
// UTF-16 text as cp1251.
std::string WideToCp1251(const std::wstring& text);

// A path of the host system (/a/b) as Wine shows it (Z:\a\b).
std::string HostToWinePath(const std::string& hostPath);
// A name in the temporary folder of the Windows user.
std::string TempFilePath(const std::string& name);
// A name beside the test program (where the dialog run in its process looks for its catalogue).
std::string BesideProgram(const std::string& name);

}  // namespace support
