#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The Windows-1251 code page against Unicode, by table, and the UTF-8 and UTF-16 steps around it.
// Bytes below 0x80 are ASCII; 0x98 is the one byte with no character. The catalogue, the article
// numbers and the texts shared with set-up programs are cp1251; Windows speaks UTF-16; paths
// inside the program are UTF-8.
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

// A cp1251 text as UTF-16; the unassigned byte becomes U+FFFD.
std::u16string ToUtf16(const std::string& bytes);
// A UTF-16 text as cp1251; false when a character (or a lone surrogate) has no byte in the code
// page, and bytes is then unchanged.
bool FromUtf16(const std::u16string& text, std::string& bytes);

// UTF-8 and UTF-16 against each other for paths, without loss: a lone surrogate (which a Windows
// file name may hold) goes through as its three-byte form and comes back the same. Malformed
// UTF-8 bytes become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace cp1251
