// SPDX-License-Identifier: MIT
// Finding a pattern of two or more bytes in a text. The SSE2 body filters
// sixteen places at once; its plain twin walks from one first byte to the
// next with memchr. Both give the same answer.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "text/scan/simd_switch.h"

namespace quarvo::scan {

// Position of the first `pattern` (m >= 2 bytes) starting in [from, last]
// of the text at `base`, or npos: memchr to each candidate first byte, then
// the last byte, then the rest.
[[nodiscard]] inline std::size_t FindByFirstByte(const char* base, std::size_t from,
                                                 std::size_t last,
                                                 std::string_view pattern) noexcept {
    const std::size_t m = pattern.size();
    const char* p = base + from;
    const char* const end = base + last;
    while (p <= end) {
        p = static_cast<const char*>(
            std::memchr(p, pattern[0], static_cast<std::size_t>(end - p) + 1));
        if (p == nullptr) return std::string_view::npos;
        if (p[m - 1] == pattern[m - 1] && std::memcmp(p + 1, pattern.data() + 1, m - 2) == 0)
            return static_cast<std::size_t>(p - base);
        ++p;
    }
    return std::string_view::npos;
}

// FindByFirstByte's answer, by the fastest way the build has.
[[nodiscard]] inline std::size_t FindPattern(const char* base, std::size_t from, std::size_t last,
                                             std::string_view pattern) noexcept {
    std::size_t at = from;
#ifdef QUARVO_SCAN_SSE2
    // The markers and keys start with bytes that are common in Opera files
    // ('N', 'I', CR), so memchr stops every few bytes. Testing the first and
    // the last byte of the pattern at sixteen places at once leaves only the
    // places where both match for a full comparison.
    const std::size_t m = pattern.size();
    const __m128i first = _mm_set1_epi8(pattern[0]);
    const __m128i ending = _mm_set1_epi8(pattern[m - 1]);
    for (; at + 15 <= last; at += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at + m - 1));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, ending))));
        if (mask != 0 && m == 2) return at + static_cast<std::size_t>(std::countr_zero(mask));
        while (mask != 0) {
            const std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(mask));
            if (std::memcmp(base + hit + 1, pattern.data() + 1, m - 2) == 0) return hit;
            mask &= mask - 1;
        }
    }
#endif
    return FindByFirstByte(base, at, last, pattern);
}

}  // namespace quarvo::scan
