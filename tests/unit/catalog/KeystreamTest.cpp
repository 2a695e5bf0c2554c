#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "catalog/Keystream.h"

namespace {

struct Params {
    std::uint16_t m, i, s;
};

// Odd multipliers (cycles of 256, 64 and 1 bytes), even ones (a lead, then a fixed value) and
// the largest values.
const Params kParams[] = {
    {24117, 51893, 30562}, {1, 1, 0}, {3, 0, 1}, {1, 0, 200}, {2, 3, 5}, {128, 1, 255}, {0, 9, 4},
    {65535, 65535, 65535}};

// The first n stream bytes, one generator step per byte.
std::vector<std::uint8_t> Stepped(Params p, std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    std::uint16_t state = p.s;
    for (std::uint8_t& b : bytes) {
        state = static_cast<std::uint16_t>(std::uint32_t{p.m} * state + p.i);
        b = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

TEST(Keystream, TableHoldsTheSteppedStream) {
    for (Params p : kParams) {
        const Keystream stream(p.m, p.i, p.s);
        const std::vector<std::uint8_t> stepped = Stepped(p, 8 + 256 * 4 + 3);
        for (std::size_t j = 0; j < stepped.size(); ++j) {
            ASSERT_EQ(stream.Byte(j), stepped[j]) << p.m << " " << p.i << " at " << j;
        }
    }
}

TEST(Keystream, PiecesFromAnyOffsetMatchTheSteppedStream) {
    // Pieces that start inside the lead and inside a cycle and end short of a cycle's end, as
    // an image in pieces is decoded; the totals of the pieces add up to those of the whole.
    const std::size_t n = 8 + 256 * 3 + 37;
    for (Params p : kParams) {
        const std::vector<std::uint8_t> stepped = Stepped(p, n);
        std::vector<std::uint8_t> data(n);
        for (std::size_t k = 0; k < n; ++k) {
            data[k] = static_cast<std::uint8_t>(k * 13 + 1);
        }
        const std::vector<std::uint8_t> plain = data;
        const Keystream stream(p.m, p.i, p.s);
        unsigned sum = 0;
        std::uint8_t bitOr = 0;
        std::size_t first = 0;
        for (std::size_t size : {3, 1, 6, 17, 250, 256, 33, 1000}) {
            size = std::min(size, n - first);
            const auto piece = stream.Apply(&data[first], size, 0x5A, false, first);
            sum += piece.sum;
            bitOr |= piece.bitOr;
            first += size;
        }
        ASSERT_EQ(first, n);
        const Keystream::Totals whole = Keystream::Measure(plain.data(), n);
        EXPECT_EQ(static_cast<std::uint8_t>(sum), whole.sum) << p.m;
        EXPECT_EQ(bitOr, whole.bitOr) << p.m;
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_EQ(data[k], plain[k] ^ stepped[k] ^ 0x5A) << p.m << " " << p.i << " at " << k;
        }
    }
}

TEST(Keystream, MatchesTheSerialGeneratorAcrossPeriodsAndFixedPoints) {
    struct Case {
        std::uint16_t m, i, s;
    };
    // Odd and even multipliers, a zero multiplier and the largest values.
    for (Case c : {Case{24117, 51893, 30562}, Case{1, 1, 0}, Case{2, 3, 5}, Case{0, 9, 4},
                   Case{65535, 65535, 65535}, Case{32768, 1, 1}}) {
        const std::size_t n = 65536 * 2 + 37;
        std::vector<std::uint8_t> data(n, 0);
        Keystream(c.m, c.i, c.s).Apply(data.data(), n, 0, false);
        for (std::size_t j :
             {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{16}, std::size_t{65535},
              std::size_t{65536}, std::size_t{65551}, std::size_t{100000}, n - 1}) {
            ASSERT_EQ(data[j], Keystream::SerialByte(c.m, c.i, c.s, j))
                << c.m << " " << c.i << " " << c.s << " at " << j;
        }
    }
}

TEST(Keystream, TotalsAreThoseOfThePlainBytesBothWays) {
    std::vector<std::uint8_t> plain(1000 * 8 * 3 + 5);
    for (std::size_t k = 0; k < plain.size(); ++k) {
        plain[k] = static_cast<std::uint8_t>(k * 31 + 7);
    }
    unsigned sum = 0;
    std::uint8_t bitOr = 0;
    for (std::uint8_t b : plain) {
        sum += b;
        bitOr |= b;
    }
    const Keystream::Totals measured = Keystream::Measure(plain.data(), plain.size());
    EXPECT_EQ(measured.sum, static_cast<std::uint8_t>(sum));
    EXPECT_EQ(measured.bitOr, bitOr);

    std::vector<std::uint8_t> data = plain;
    Keystream stream(24117, 51893, 30562);
    const Keystream::Totals coded = stream.Apply(data.data(), data.size(), 0x5A, false);
    EXPECT_EQ(coded.sum, measured.sum);
    std::uint16_t state = 30562;
    for (std::size_t k = 0; k < plain.size(); ++k) {
        state = static_cast<std::uint16_t>(24117u * state + 51893u);
        ASSERT_EQ(data[k], plain[k] ^ (state & 0xFF) ^ 0x5A) << "at " << k;
    }
    const Keystream::Totals decoded = stream.Apply(data.data(), data.size(), 0x5A, true);
    EXPECT_EQ(decoded.sum, measured.sum);
    EXPECT_EQ(decoded.bitOr, measured.bitOr);
    EXPECT_EQ(data, plain);
}

}  // namespace
