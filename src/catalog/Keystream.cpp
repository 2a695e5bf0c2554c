#include "catalog/Keystream.h"

namespace {

std::uint16_t Step(std::uint16_t s, std::uint16_t multiplier, std::uint16_t increment) {
    return static_cast<std::uint16_t>(std::uint32_t{multiplier} * s + increment);
}

}  // namespace

Keystream::Keystream(std::uint16_t multiplier, std::uint16_t increment, std::uint16_t seed) {
    std::uint16_t s = seed;
    for (std::size_t j = 0; j < kCycle + kCycle; ++j) {
        s = Step(s, multiplier, increment);
        if (j < kLead) {
            lead[j] = static_cast<std::uint8_t>(s);
        } else if (j >= kCycle) {
            // Bytes 256 to 511 lie past the lead and stand for every j of their phase.
            cycle[j - kCycle] = static_cast<std::uint8_t>(s);
            cycle[j] = static_cast<std::uint8_t>(s);
        }
    }
}

std::uint8_t Keystream::Byte(std::size_t j) const {
    return j < kLead ? lead[j] : cycle[j % kCycle];
}

Keystream::Totals Keystream::Apply(std::uint8_t* data, std::size_t count, std::uint8_t key,
                                   bool decode, std::size_t first) const {
    Totals totals;
    std::size_t k = 0;
    for (; k < count && first + k < kLead; ++k) {
        const std::uint8_t in = data[k];
        const std::uint8_t out = static_cast<std::uint8_t>(in ^ key ^ lead[first + k]);
        data[k] = out;
        const std::uint8_t plain = decode ? out : in;
        totals.sum = static_cast<std::uint8_t>(totals.sum + plain);
        totals.bitOr = static_cast<std::uint8_t>(totals.bitOr | plain);
    }
    const Totals rest =
        repeating_xor::Apply(data + k, count - k, cycle.data(), first + k, key, decode);
    totals.sum = static_cast<std::uint8_t>(totals.sum + rest.sum);
    totals.bitOr = static_cast<std::uint8_t>(totals.bitOr | rest.bitOr);
    return totals;
}

Keystream::Totals Keystream::Measure(const std::uint8_t* data, std::size_t count) {
    return repeating_xor::Measure(data, count);
}

std::uint8_t Keystream::SerialByte(std::uint16_t multiplier, std::uint16_t increment,
                                   std::uint16_t seed, std::size_t j) {
    std::uint16_t s = seed;
    for (std::size_t k = 0; k <= j; ++k) {
        s = Step(s, multiplier, increment);
    }
    return static_cast<std::uint8_t>(s);
}
