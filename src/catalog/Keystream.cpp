#include "catalog/Keystream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kPeriod = 65536;
constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
// 16-bit lanes take at most 255 per word; 256 words keep every lane below 65536.
constexpr std::size_t kWordsPerFlush = 256;

std::uint64_t Load(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

void Store(std::uint8_t* p, std::uint64_t w) {
    std::memcpy(p, &w, sizeof w);
}

std::uint8_t FoldLanes(std::uint64_t lanes) {
    std::uint32_t total = 0;
    for (int shift = 0; shift < 64; shift += 16) {
        total += static_cast<std::uint32_t>((lanes >> shift) & 0xFFFF);
    }
    return static_cast<std::uint8_t>(total);
}

std::uint8_t FoldOr(std::uint64_t w) {
    w |= w >> 32;
    w |= w >> 16;
    w |= w >> 8;
    return static_cast<std::uint8_t>(w);
}

// One pass over count bytes: XOR with mask (or the constant byte when mask is null) and key,
// totalling the plain bytes. Without Write only the totals are taken.
template <bool Write, bool Decode>
Keystream::Totals Pass(std::uint8_t* data, const std::uint8_t* mask, std::uint8_t constant,
                       std::size_t count, std::uint8_t key) {
    Keystream::Totals totals;
    const std::uint64_t keyWord = 0x0101010101010101ull * key;
    const std::uint64_t constWord = 0x0101010101010101ull * constant;
    std::uint64_t orWord = 0;
    std::uint8_t sum = 0;
    std::size_t i = 0;
    while (count - i >= 8) {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        const std::size_t words = std::min((count - i) / 8, kWordsPerFlush);
        for (std::size_t k = 0; k < words; ++k, i += 8) {
            const std::uint64_t in = Load(data + i);
            std::uint64_t plain = in;
            if (Write) {
                const std::uint64_t out = in ^ keyWord ^ (mask ? Load(mask + i) : constWord);
                Store(data + i, out);
                if (Decode) {
                    plain = out;
                }
            }
            orWord |= plain;
            low += plain & kLowBytes;
            high += (plain >> 8) & kLowBytes;
        }
        sum = static_cast<std::uint8_t>(sum + FoldLanes(low) + FoldLanes(high));
    }
    std::uint8_t orByte = FoldOr(orWord);
    for (; i < count; ++i) {
        std::uint8_t plain = data[i];
        if (Write) {
            const std::uint8_t out = plain ^ key ^ (mask ? mask[i] : constant);
            data[i] = out;
            if (Decode) {
                plain = out;
            }
        }
        sum = static_cast<std::uint8_t>(sum + plain);
        orByte |= plain;
    }
    totals.sum = sum;
    totals.bitOr = orByte;
    return totals;
}

}  // namespace

Keystream::Keystream(std::uint16_t multiplier, std::uint16_t increment, std::uint16_t seed)
    : multiplier(multiplier), increment(increment), seed(seed) {}

void Keystream::Prepare(std::size_t count) {
    const std::size_t wanted = std::min(count, kPeriod);
    if (table.size() >= wanted) {
        return;
    }
    std::uint16_t s = seed;
    std::size_t j = 0;
    if (!table.empty()) {
        j = table.size();
        // Recompute the state at the end of the table built so far.
        for (std::size_t k = 0; k < j; ++k) {
            s = static_cast<std::uint16_t>(std::uint32_t{multiplier} * s + increment);
        }
    }
    table.resize(wanted);
    for (; j < wanted; ++j) {
        s = static_cast<std::uint16_t>(std::uint32_t{multiplier} * s + increment);
        table[j] = static_cast<std::uint8_t>(s);
    }
}

Keystream::Totals Keystream::Apply(std::uint8_t* data, std::size_t count, std::uint8_t key,
                                   bool decode) {
    Prepare(count);
    Totals totals;
    for (std::size_t start = 0; start < count; start += kPeriod) {
        const std::size_t n = std::min(kPeriod, count - start);
        const std::uint8_t* mask = table.data();
        std::uint8_t constant = 0;
        if (start > 0 && (multiplier & 1) == 0) {
            // An even multiplier has run into its fixed point long before this block.
            mask = nullptr;
            constant = table.back();
        }
        const Totals part = decode ? Pass<true, true>(data + start, mask, constant, n, key)
                                   : Pass<true, false>(data + start, mask, constant, n, key);
        totals.sum = static_cast<std::uint8_t>(totals.sum + part.sum);
        totals.bitOr |= part.bitOr;
    }
    return totals;
}

Keystream::Totals Keystream::Measure(const std::uint8_t* data, std::size_t count) {
    return Pass<false, false>(const_cast<std::uint8_t*>(data), nullptr, 0, count, 0);
}

std::uint8_t Keystream::SerialByte(std::uint16_t multiplier, std::uint16_t increment,
                                   std::uint16_t seed, std::size_t j) {
    std::uint16_t s = seed;
    for (std::size_t k = 0; k <= j; ++k) {
        s = static_cast<std::uint16_t>(std::uint32_t{multiplier} * s + increment);
    }
    return static_cast<std::uint8_t>(s);
}
