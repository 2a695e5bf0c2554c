#pragma once

#include <cstddef>
#include <cstdint>

// The catalogue file, byte for byte. Every number is little-endian.
//
//   header (16 bytes)  1A 1A, multiplier, increment, seed (16 bits each), eight zero bytes
//   image              prefix (4 bytes): marker 26, 8-bit sum and OR of the plain body, key
//                      byte (= the sum); then the body, XOR-scrambled with the generator's
//                      stream and the key byte
//   body               a stream of typed records: one tag byte and a 32-bit word, for strings
//                      and blobs followed by as many bytes as the word says
//
// The body's records: the section count; per section its name, its entry count and per entry
// the key, the type letter's code and (for B, H, I, S) the value record.
namespace catalog_format {

// ---- header ----

constexpr std::size_t kHeaderSize = 16;
constexpr std::uint8_t kMagic = 0x1A;  // the first two header bytes

// The generator of the scrambling stream, as the header names it; by default the one every
// catalogue is written with.
struct Generator {
    std::uint16_t multiplier = 24117;
    std::uint16_t increment = 51893;
    std::uint16_t seed = 30562;
};

constexpr Generator kCatalogGenerator{};

// ---- image prefix ----

constexpr std::size_t kPrefixSize = 4;
constexpr std::uint8_t kMarker = 26;

// ---- records ----

enum Tag : std::uint8_t { kString = 1, kInteger = 2, kTruth = 3, kBlob = 4 };
// A record's tag and its 32-bit word.
constexpr std::size_t kRecordHead = 5;

// ---- byte coding ----

inline void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint16_t GetLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

inline std::uint32_t GetLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The 16 header bytes naming generator.
inline void PutHeader(std::uint8_t* p, Generator generator) {
    p[0] = kMagic;
    p[1] = kMagic;
    PutLe16(p + 2, generator.multiplier);
    PutLe16(p + 4, generator.increment);
    PutLe16(p + 6, generator.seed);
    for (std::size_t i = 8; i < kHeaderSize; ++i) {
        p[i] = 0;
    }
}

// The generator the 16 header bytes name; false when they do not begin with the magic bytes.
inline bool GetHeader(const std::uint8_t* p, Generator& generator) {
    if (p[0] != kMagic || p[1] != kMagic) {
        return false;
    }
    generator = {GetLe16(p + 2), GetLe16(p + 4), GetLe16(p + 6)};
    return true;
}

// The prefix of a body whose plain bytes add up to sum and OR to bitOr.
inline void PutPrefix(std::uint8_t* p, std::uint8_t sum, std::uint8_t bitOr) {
    p[0] = kMarker;
    p[1] = sum;
    p[2] = bitOr;
    p[3] = sum;
}

}  // namespace catalog_format
