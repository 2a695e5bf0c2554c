#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The byte stream that scrambles the record bytes of a catalogue image. A 16-bit linear
// congruential generator steps before every body byte: s <- (multiplier * s + increment) mod 65536,
// and the low 8 bits of s are the byte. Body byte j (image byte 4 + j) uses the state after
// j + 1 steps.
//
// The state sequence repeats with a period dividing 65536 when the multiplier is odd, and is
// constant from the 16th step on when it is even, so a table of at most 65536 bytes holds the
// whole stream and the transform runs as a plain table pass.
class Keystream {
  public:
    Keystream(std::uint16_t multiplier, std::uint16_t increment, std::uint16_t seed);

    // Plain -> scrambled and back are the same XOR: data[j] ^= stream byte j ^ key, for the
    // first count body bytes. Returns the 8-bit sum and OR of the bytes before (decode = false)
    // or after (decode = true) the XOR, i.e. always of the plain bytes.
    struct Totals {
        std::uint8_t sum = 0;
        std::uint8_t bitOr = 0;
    };
    Totals Apply(std::uint8_t* data, std::size_t count, std::uint8_t key, bool decode);

    // The stream byte for body byte j, stepping the generator one step at a time; for tests.
    static std::uint8_t SerialByte(std::uint16_t multiplier, std::uint16_t increment,
                                   std::uint16_t seed, std::size_t j);

    // Sum and OR of plain bytes, eight lanes at a time.
    static Totals Measure(const std::uint8_t* data, std::size_t count);

  private:
    void Prepare(std::size_t count);

    std::uint16_t multiplier;
    std::uint16_t increment;
    std::uint16_t seed;
    std::vector<std::uint8_t> table;
};
