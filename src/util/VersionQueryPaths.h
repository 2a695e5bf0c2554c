#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The code page of the UTF-16 string tables of a version resource.
constexpr std::uint16_t kUtf16CodePage = 0x04B0;

// The sub-block paths under which a string value of a version resource is looked for, in order.
// `languageCodePage` packs the language identifier into its high 16 bits and the code page into its
// low 16 bits. The first path uses the whole value ("\StringFileInfo\040904E4\FileVersion"); unless
// the code page already is UTF-16, a second path asks for the same language with the UTF-16 code
// page ("\StringFileInfo\040904B0\FileVersion").
std::vector<std::string> StringValuePaths(const std::string& valueName,
                                          std::uint32_t languageCodePage);
