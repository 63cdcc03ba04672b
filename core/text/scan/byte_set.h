// SPDX-License-Identifier: MIT
// Finding the bytes of a small set (line ends, markers, bytes to escape) in
// a text. Each kernel has an SSE2 body, which classifies sixteen bytes in one
// step, and a plain twin that gives the same answers a byte at a time.
#pragma once

#include <bit>
#include <cstddef>

#include "text/scan/simd_switch.h"

namespace quarvo::scan {

template <char... Bytes>
[[nodiscard]] constexpr bool IsAnyOf(char c) noexcept {
    return ((c == Bytes) || ...);
}

// Bit i is set when at[i] is one of `Bytes`, for i < count <= 32.
template <char... Bytes>
[[nodiscard]] inline unsigned HitsIn(const char* at, std::size_t count) noexcept {
    unsigned mask = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (IsAnyOf<Bytes...>(at[i])) mask |= 1u << i;
    return mask;
}

#ifdef QUARVO_SCAN_SSE2
namespace sse2 {

inline __m128i Load16(const char* at) noexcept {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

template <char... Bytes>
inline unsigned HitsIn16(__m128i block) noexcept {
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

}  // namespace sse2
#endif

// HitsIn(at, 32); all 32 bytes must be readable.
template <char... Bytes>
[[nodiscard]] inline unsigned HitsIn32(const char* at) noexcept {
#ifdef QUARVO_SCAN_SSE2
    return sse2::HitsIn16<Bytes...>(sse2::Load16(at)) |
           sse2::HitsIn16<Bytes...>(sse2::Load16(at + 16)) << 16;
#else
    return HitsIn<Bytes...>(at, 32);
#endif
}

// The first byte in [from, end) that is one of `Bytes`, or `end`.
template <char... Bytes>
[[nodiscard]] inline const char* FindFirstOf(const char* from, const char* end) noexcept {
#ifdef QUARVO_SCAN_SSE2
    // Lines are short, so a memchr call for each kind of byte on every line
    // would cost more than the bytes it reads.
    for (; end - from >= 16; from += 16) {
        const unsigned mask = sse2::HitsIn16<Bytes...>(sse2::Load16(from));
        if (mask != 0) return from + std::countr_zero(mask);
    }
#endif
    while (from < end && !IsAnyOf<Bytes...>(*from)) ++from;
    return from;
}

// Copies the bytes of [from, from + count) to `to` up to the first one of
// `Bytes`, and returns how many it copied. The SSE2 body copies sixteen
// bytes at a time while they are readable (before `readable_end`), also
// past the first hit or past `count`: `to` needs room for 16 bytes more than
// it gets, and those extra bytes are left for the caller to overwrite.
template <char... Bytes>
[[nodiscard]] inline std::size_t CopyUntilAnyOf(const char* from, std::size_t count,
                                                const char* readable_end, char* to) noexcept {
    std::size_t i = 0;
#ifdef QUARVO_SCAN_SSE2
    while (i < count) {
        const std::size_t left = count - i;
        if (left < 16 && readable_end - (from + i) < 16) break;
        const __m128i block = sse2::Load16(from + i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), block);
        unsigned mask = sse2::HitsIn16<Bytes...>(block);
        if (left < 16) mask &= (1u << left) - 1;
        if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask));
        i += left < 16 ? left : 16;
    }
#else
    (void)readable_end;
#endif
    for (; i < count && !IsAnyOf<Bytes...>(from[i]); ++i) to[i] = from[i];
    return i;
}

struct PairAndAny {
    std::size_t pair;  // where the first pair starts, or the text's size
    bool any_before;   // whether a byte before it is one of the set
};

// The first place in [data, data + n) where two `Pair` bytes follow each
// other, and whether a byte before it is one of `Bytes`: one pass answers
// both. The SSE2 body reads up to `readable_end`, but answers for the n
// bytes only.
template <char Pair, char... Bytes>
[[nodiscard]] inline PairAndAny FindPairAndAnyOf(const char* data, std::size_t n,
                                                 const char* readable_end) noexcept {
    bool any = false;
    std::size_t i = 0;
#ifdef QUARVO_SCAN_SSE2
    // Each step also reads the byte after its sixteen, for a pair that
    // straddles two steps.
    const __m128i marker = _mm_set1_epi8(Pair);
    for (; i < n && readable_end - (data + i) >= 17; i += 16) {
        const __m128i block = sse2::Load16(data + i);
        const __m128i pairs = _mm_and_si128(_mm_cmpeq_epi8(block, marker),
                                            _mm_cmpeq_epi8(sse2::Load16(data + i + 1), marker));
        auto pair_bits = static_cast<unsigned>(_mm_movemask_epi8(pairs));
        auto any_bits = sse2::HitsIn16<Bytes...>(block);
        const std::size_t left = n - i;
        if (left <= 16) {
            // A pair must end inside the text; a byte must lie in it.
            pair_bits &= (1u << (left - 1)) - 1;
            any_bits &= (1u << left) - 1;
        }
        if (pair_bits != 0) {
            const auto at = static_cast<unsigned>(std::countr_zero(pair_bits));
            return {i + at, any || (any_bits & ((1u << at) - 1)) != 0};
        }
        any = any || any_bits != 0;
    }
#else
    (void)readable_end;
#endif
    for (; i < n; ++i) {
        if (data[i] == Pair && i + 1 < n && data[i + 1] == Pair) return {i, any};
        any = any || IsAnyOf<Bytes...>(data[i]);
    }
    return {n, any};
}

}  // namespace quarvo::scan
