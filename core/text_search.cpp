// SPDX-License-Identifier: MIT
#include "text_search.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace quarvo {

namespace {

// Position of the first `pattern` (m >= 2 bytes) starting in [from, last]:
// memchr to each candidate first byte, then the last byte, then the rest.
std::size_t FindByFirstByte(const char* base, std::size_t from, std::size_t last,
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

}  // namespace

std::size_t FindBytes(std::string_view text, std::string_view pattern, std::size_t from) noexcept {
    const std::size_t n = text.size();
    const std::size_t m = pattern.size();
    if (m == 0 || from > n || m > n - from) return std::string_view::npos;
    const char* const base = text.data();
    if (m == 1) {
        const void* hit = std::memchr(base + from, pattern[0], n - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base)
                   : std::string_view::npos;
    }
    const std::size_t last = n - m;  // the last place a hit can start
    std::size_t at = from;
#if defined(__SSE2__) || defined(_M_X64)
    // The markers and keys start with bytes that are common in Opera files
    // ('N', 'I', CR), so memchr stops every few bytes. Testing the first and
    // the last byte of the pattern at sixteen places at once leaves only the
    // places where both match for a full comparison.
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

std::size_t TextPos(std::string_view pattern, std::string_view text) noexcept {
    const std::size_t at = FindBytes(text, pattern);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::int32_t CountOccurrences(std::string_view text, std::string_view pattern) noexcept {
    const std::size_t n = text.size();
    const std::size_t m = pattern.size();
    if (m > n || m == 0 || n == 0) return 0;
    std::size_t count = 0;
    if (m == 1) {
        count = static_cast<std::size_t>(std::count(text.begin(), text.end(), pattern[0]));
    } else {
        std::size_t at = FindBytes(text, pattern);
        if (at != std::string_view::npos) {
            count = 1;
            // Each search restarts one byte after the last hit; counting stops
            // once a hit reaches the next-to-last byte (1-based: p + m >= n).
            while (at + 1 + m < n) {
                at = FindBytes(text, pattern, at + 1);
                if (at == std::string_view::npos) break;
                ++count;
            }
        }
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(count, INT32_MAX));
}

}  // namespace quarvo
