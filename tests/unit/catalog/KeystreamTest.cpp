#include <gtest/gtest.h>

#include <vector>

#include "catalog/Keystream.h"

namespace {

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
