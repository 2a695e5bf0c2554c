#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The Windows-1251 code page against Unicode, by table, and the UTF-8 steps the catalogue text
// form needs. Bytes below 0x80 are ASCII; 0x98 is the one byte with no character.
namespace cp1251 {

// The code point of a byte, or -1 for the unassigned byte.
long ToUnicode(std::uint8_t byte);
// The byte of a code point, or -1 when the code page has no such character.
int FromUnicode(char32_t codePoint);

// Decodes the UTF-8 sequence at text[pos] and moves pos past it. False for a malformed,
// truncated, overlong or surrogate sequence or a value past U+10FFFF; pos is then unchanged.
bool NextUtf8(const std::string& text, std::size_t& pos, char32_t& codePoint);
void AppendUtf8(std::string& out, char32_t codePoint);

// A cp1251 text as UTF-8; the unassigned byte becomes U+FFFD. For messages and file names.
std::string ToUtf8(const std::string& bytes);
// A UTF-8 text as cp1251; false with a message naming the first character it cannot take.
bool FromUtf8(const std::string& utf8, std::string& bytes, std::string& error);

}  // namespace cp1251
