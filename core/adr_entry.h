// Reading values out of one entry of an Opera .adr file. Shared by both
// converters; not part of the public interface.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "strman.h"

namespace quarvo::adr {

inline constexpr std::string_view kCrLf = "\r\n";

// Offset of the first of `Bytes` in `text` at or after `from`, or npos.
// Values and entries are a few dozen bytes long, where a library call per
// search costs more than the bytes it reads; sixteen bytes are tested at once.
template <char... Bytes>
[[nodiscard]] std::size_t FindAnyOf(std::string_view text, std::size_t from) noexcept {
    const char* const data = text.data();
    std::size_t i = from;
#if defined(__SSE2__) || defined(_M_X64)
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(Bytes)))), ...);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask));
    }
#endif
    for (; i < text.size(); ++i) {
        if (((data[i] == Bytes) || ...)) return i;
    }
    return std::string_view::npos;
}

// Whether the bytes at `at` are those of `key`; keys are short enough that a
// plain loop beats a call to memcmp.
[[nodiscard]] inline bool SameBytes(std::string_view key, const char* at) noexcept {
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] != at[i]) return false;
    }
    return true;
}

// The value of each of `keys` (all ending in '='): the bytes after the key's
// first occurrence anywhere in the entry up to the next CR LF, or to the end
// of the entry; empty for a key that does not occur.
//
// One pass finds them all: visiting the entry's '=' bytes in order meets each
// key's occurrences in order, so the first that matches is the first
// occurrence. A search per key would read each entry once per key.
template <std::size_t N>
[[nodiscard]] std::array<std::string_view, N> FirstValues(
    std::string_view entry, const std::array<std::string_view, N>& keys) noexcept {
    static_assert(N < 32);
    constexpr unsigned kAllFound = (1u << N) - 1;
    std::array<std::string_view, N> values{};
    unsigned found = 0;
    for (std::size_t eq = FindAnyOf<'='>(entry, 0);
         eq != std::string_view::npos && found != kAllFound; eq = FindAnyOf<'='>(entry, eq + 1)) {
        for (std::size_t k = 0; k < N; ++k) {
            const std::string_view key = keys[k];
            if ((found & (1u << k)) != 0 || eq + 1 < key.size()) continue;
            // The byte before '=' first: it tells most keys apart at once.
            const std::size_t start = eq + 1 - key.size();
            if (entry[eq - 1] != key[key.size() - 2] || !SameBytes(key, entry.data() + start))
                continue;
            found |= 1u << k;
            values[k] = StrMan.TextBefore(kCrLf, entry.substr(eq + 1));
        }
    }
    return values;
}

}  // namespace quarvo::adr
