#pragma once

#include <cstddef>
#include <cstdint>

// The byte loop under the keystream: XOR with a mask that repeats every 256 bytes and a key
// byte, totalling the plain bytes as it goes. Sixteen bytes at a time where the target has SSE2,
// one at a time elsewhere.
namespace repeating_xor {

constexpr std::size_t kCycle = 256;

// The 8-bit sum and OR of a run of bytes.
struct Totals {
    std::uint8_t sum = 0;
    std::uint8_t bitOr = 0;
};

// data[k] ^= mask[phase + k mod 256] ^ key for k < count. mask holds the 256-byte cycle twice
// (512 bytes), so that any run of up to 256 bytes from any phase below 256 reads it in one
// piece. The totals are of the bytes before the XOR (decode = false) or after it
// (decode = true), i.e. of the plain bytes.
Totals Apply(std::uint8_t* data, std::size_t count, const std::uint8_t* mask, std::size_t phase,
             std::uint8_t key, bool decode);

// The totals of count bytes, untouched.
Totals Measure(const std::uint8_t* data, std::size_t count);

}  // namespace repeating_xor
