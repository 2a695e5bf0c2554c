#include "catalog/RepeatingXor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace repeating_xor {

namespace {

#if defined(__SSE2__)

__m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The sum of the sixteen byte lanes, mod 256.
std::uint8_t FoldSum(__m128i lanes) {
    const __m128i halves = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return static_cast<std::uint8_t>(_mm_cvtsi128_si32(halves) +
                                     _mm_cvtsi128_si32(_mm_unpackhi_epi64(halves, halves)));
}

std::uint8_t FoldOr(__m128i lanes) {
    lanes = _mm_or_si128(lanes, _mm_srli_si128(lanes, 8));
    lanes = _mm_or_si128(lanes, _mm_srli_si128(lanes, 4));
    lanes = _mm_or_si128(lanes, _mm_srli_si128(lanes, 2));
    lanes = _mm_or_si128(lanes, _mm_srli_si128(lanes, 1));
    return static_cast<std::uint8_t>(_mm_cvtsi128_si32(lanes));
}

// Sixteen bytes at p: XORed with the keyed mask at m and stored back when Write; their plain
// bytes go into the lanes.
template <bool Write, bool Decode>
void Block(std::uint8_t* p, const std::uint8_t* m, __m128i& sums, __m128i& ors) {
    const __m128i in = Load(p);
    __m128i plain = in;
    if (Write) {
        const __m128i out = _mm_xor_si128(in, Load(m));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), out);
        if (Decode) {
            plain = out;
        }
    }
    // Byte lanes add mod 256, which is all the sum keeps.
    sums = _mm_add_epi8(sums, plain);
    ors = _mm_or_si128(ors, plain);
}

// Sixteen bytes at a time while sixteen are left, four blocks to a step with two sets of lanes
// in turn; without Write only the totals are taken (and mask is unused). Returns the number of
// bytes done; phase moves on with them.
template <bool Write, bool Decode>
std::size_t Blocks(std::uint8_t* data, std::size_t count, const std::uint8_t* mask,
                   std::size_t& phase, std::uint8_t key, Totals& totals) {
    // The mask with the key in it, so that each block takes one XOR.
    alignas(16) std::uint8_t keyed[2 * kCycle];
    if (Write && count >= 16) {
        const __m128i keys = _mm_set1_epi8(static_cast<char>(key));
        for (std::size_t j = 0; j < sizeof keyed; j += 16) {
            _mm_store_si128(reinterpret_cast<__m128i*>(keyed + j),
                            _mm_xor_si128(keys, Load(mask + j)));
        }
    }
    __m128i sums[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
    __m128i ors[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
    std::size_t i = 0;
    while (count - i >= 16) {
        const std::size_t left = count - i;
        const std::size_t run = (left < kCycle ? left : kCycle) & ~std::size_t{15};
        std::uint8_t* p = data + i;
        const std::uint8_t* m = keyed + phase;
        std::size_t k = 0;
        for (; k + 64 <= run; k += 64) {
            Block<Write, Decode>(p + k, m + k, sums[0], ors[0]);
            Block<Write, Decode>(p + k + 16, m + k + 16, sums[1], ors[1]);
            Block<Write, Decode>(p + k + 32, m + k + 32, sums[0], ors[0]);
            Block<Write, Decode>(p + k + 48, m + k + 48, sums[1], ors[1]);
        }
        for (; k < run; k += 16) {
            Block<Write, Decode>(p + k, m + k, sums[0], ors[0]);
        }
        i += run;
        phase = (phase + run) % kCycle;
    }
    totals.sum = FoldSum(_mm_add_epi8(sums[0], sums[1]));
    totals.bitOr = FoldOr(_mm_or_si128(ors[0], ors[1]));
    return i;
}

#endif

template <bool Write, bool Decode>
Totals Pass(std::uint8_t* data, std::size_t count, const std::uint8_t* mask, std::size_t phase,
            std::uint8_t key) {
    Totals totals;
    std::size_t i = 0;
#if defined(__SSE2__)
    i = Blocks<Write, Decode>(data, count, mask, phase, key, totals);
#endif
    for (; i < count; ++i) {
        std::uint8_t plain = data[i];
        if (Write) {
            const std::uint8_t out = static_cast<std::uint8_t>(plain ^ key ^ mask[phase]);
            data[i] = out;
            phase = (phase + 1) % kCycle;
            if (Decode) {
                plain = out;
            }
        }
        totals.sum = static_cast<std::uint8_t>(totals.sum + plain);
        totals.bitOr = static_cast<std::uint8_t>(totals.bitOr | plain);
    }
    return totals;
}

}  // namespace

Totals Apply(std::uint8_t* data, std::size_t count, const std::uint8_t* mask, std::size_t phase,
             std::uint8_t key, bool decode) {
    phase %= kCycle;
    return decode ? Pass<true, true>(data, count, mask, phase, key)
                  : Pass<true, false>(data, count, mask, phase, key);
}

Totals Measure(const std::uint8_t* data, std::size_t count) {
    // Without Write nothing is stored through the pointer.
    return Pass<false, false>(const_cast<std::uint8_t*>(data), count, nullptr, 0, 0);
}

}  // namespace repeating_xor
