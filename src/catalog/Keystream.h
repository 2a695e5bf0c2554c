#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalog/RepeatingXor.h"

// The byte stream that scrambles the record bytes of a catalogue image. A 16-bit linear
// congruential generator steps before every body byte: s <- (multiplier * s + increment) mod 65536,
// and the low 8 bits of s are the byte. Body byte j (image byte 4 + j) uses the state after
// j + 1 steps.
//
// The low byte of each state depends on the low bytes of multiplier, increment and the state
// before it alone, so the bytes are a generator mod 256 of their own. With an odd multiplier a
// step permutes the 256 values, and as an affine map mod 2^8 its cycles have power-of-two
// lengths: the stream repeats every 256 bytes. With an even one, multiplier^8 = 0 mod 256 and the
// stream is constant from byte 7 on. Either way byte j is byte j + 256 from j = 8 on: the first
// 8 bytes and one cycle of 256, taken from the generator once, give the whole stream.
class Keystream {
  public:
    static constexpr std::size_t kLead = 8;
    static constexpr std::size_t kCycle = repeating_xor::kCycle;

    using Totals = repeating_xor::Totals;

    Keystream(std::uint16_t multiplier, std::uint16_t increment, std::uint16_t seed);

    // Plain -> scrambled and back are the same XOR: data[k] ^= stream byte (first + k) ^ key,
    // for k < count; data holds body bytes first to first + count - 1. Returns the 8-bit sum
    // and OR of the bytes before (decode = false) or after (decode = true) the XOR, i.e. always
    // of the plain bytes.
    Totals Apply(std::uint8_t* data, std::size_t count, std::uint8_t key, bool decode,
                 std::size_t first = 0) const;

    // The stream byte for body byte j, from the table.
    std::uint8_t Byte(std::size_t j) const;

    // The stream byte for body byte j, stepping the generator one step at a time; for tests.
    static std::uint8_t SerialByte(std::uint16_t multiplier, std::uint16_t increment,
                                   std::uint16_t seed, std::size_t j);

    // Sum and OR of plain bytes.
    static Totals Measure(const std::uint8_t* data, std::size_t count);

  private:
    // Stream bytes 0 to 7.
    std::array<std::uint8_t, kLead> lead{};
    // cycle[j % 256] is stream byte j for j >= 8, written twice over so that a run of up to
    // 256 bytes reads it in one piece from any phase.
    std::array<std::uint8_t, 2 * kCycle> cycle{};
};
