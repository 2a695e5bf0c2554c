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

// Sixteen bytes at a time while sixteen are left; without Write only the totals are taken (and
// mask is unused). Returns the number of bytes done; phase moves on with them.
template <bool Write, bool Decode>
std::size_t Blocks(std::uint8_t* data, std::size_t count, const std::uint8_t* mask,
                   std::size_t& phase, std::uint8_t key, Totals& totals) {
    std::size_t i = 0;
    const __m128i keys = _mm_set1_epi8(static_cast<char>(key));
    // Byte lanes add mod 256, which is all the sum keeps.
    __m128i sums = _mm_setzero_si128();
    __m128i ors = _mm_setzero_si128();
    while (count - i >= 16) {
        const std::size_t left = count - i;
        const std::size_t run = (left < kCycle ? left : kCycle) & ~std::size_t{15};
        const std::uint8_t* m = Write ? mask + phase : nullptr;
        for (std::size_t k = 0; k < run; k += 16) {
            const __m128i in = Load(data + i + k);
            __m128i plain = in;
            if (Write) {
                const __m128i out = _mm_xor_si128(in, _mm_xor_si128(keys, Load(m + k)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(data + i + k), out);
                if (Decode) {
                    plain = out;
                }
            }
            sums = _mm_add_epi8(sums, plain);
            ors = _mm_or_si128(ors, plain);
        }
        i += run;
        phase = (phase + run) % kCycle;
    }
    totals.sum = FoldSum(sums);
    totals.bitOr = FoldOr(ors);
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
