#pragma once

#include <cstdint>
#include <memory>
#include <string>

// One typed catalogue value: 'B' truth value and 'I' integer (4 bytes each), 'H' blob (its
// bytes), 'S' string (its text and one zero byte); any other type letter holds no bytes.
struct CatalogValue {
    static constexpr char kTruth = 'B';
    static constexpr char kBlob = 'H';
    static constexpr char kInteger = 'I';
    static constexpr char kString = 'S';

    char type = 0;
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t length = 0;

    // Copies length bytes in, replacing what was held; no buffer when length is 0.
    void SetBytes(const void* data, std::uint32_t count);
    // Holds count bytes of text and a zero byte after them, as a string value does.
    void SetText(const char* text, std::uint32_t count);
    // The bytes up to the first zero byte, never more than length.
    std::string Text() const;
    // The first four bytes as a little-endian value; 0 when fewer are held.
    std::uint32_t Word() const;
    // Holds the four bytes of word, little-endian, replacing what was held.
    void SetWord(std::uint32_t word);

    static CatalogValue String(const std::string& text);
    static CatalogValue Integer(std::int32_t value);
    static CatalogValue Truth(bool value);
    static CatalogValue Blob(const std::string& bytes);
    static CatalogValue Untyped(char letter);
};
