// SPDX-License-Identifier: MIT
// Line-end kernels: telling a CR LF file from an LF or CR one, and widening
// single-byte line ends to CR LF in place. Each has an SSE2 body and a plain
// twin that gives the same answers a byte at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "text/scan/simd_switch.h"

namespace quarvo::scan {

// Whether `text` holds a CR directly followed by an LF.
[[nodiscard]] inline bool HoldsCrLf(std::string_view text) noexcept {
    const char* const data = text.data();
    const std::size_t n = text.size();
    std::size_t i = 1;
#ifdef QUARVO_SCAN_SSE2
    // An LF file has an LF every few dozen bytes, which would stop memchr as
    // often. Sixteen bytes at a time: a pair is an LF with CR before it.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1));
        const __m128i pair = _mm_and_si128(_mm_cmpeq_epi8(before, cr), _mm_cmpeq_epi8(here, lf));
        if (_mm_movemask_epi8(pair) != 0) return true;
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == '\n' && data[i - 1] == '\r') return true;
    }
    return false;
}

// Rewrites data[0, size) so that every `end` byte becomes CR LF; the text
// then fills data[0, size + growth), where growth is the number of `end`
// bytes. From the back, so that no byte is overwritten before it has moved.
inline void WidenLineEnds(char* data, std::size_t size, std::size_t growth, char end) noexcept {
    char* out = data + size + growth;
    std::size_t left = size;
    while (left > 0) {
#ifdef QUARVO_SCAN_SSE2
        // Sixteen bytes at a time: those after the block's last line end
        // move at once (the load is taken before the store that may overlap
        // it).
        if (left >= 16) {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + left - 16));
            const auto ends =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(end))));
            if (ends == 0) {
                out -= 16;
                left -= 16;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
                continue;
            }
            const std::size_t after = 15 - static_cast<std::size_t>(std::bit_width(ends) - 1);
            out -= after;
            left -= after;
            std::memmove(out, data + left, after);
        }
#endif
        const char c = data[--left];
        if (c == end) {
            *--out = '\n';
            *--out = '\r';
        } else {
            *--out = c;
        }
    }
}

}  // namespace quarvo::scan
