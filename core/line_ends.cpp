// SPDX-License-Identifier: MIT
#include "line_ends.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "large_buffer.h"

namespace quarvo {
namespace {

bool HoldsByte(std::string_view text, char byte) noexcept {
    return !text.empty() && std::memchr(text.data(), byte, text.size()) != nullptr;
}

bool HoldsCrLf(std::string_view text) noexcept {
    const char* const data = text.data();
    const std::size_t n = text.size();
    std::size_t i = 1;
#if defined(__SSE2__) || defined(_M_X64)
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

std::size_t CountByte(std::string_view text, char byte) noexcept {
    std::size_t count = 0;
    for (const char c : text) count += c == byte;
    return count;
}

}  // namespace

bool NeedsCrLfLineEnds(std::string_view text) noexcept {
    // A CR LF file, the usual kind, answers at its first line end.
    if (HoldsCrLf(text)) return false;
    return HoldsByte(text, '\n') || HoldsByte(text, '\r');
}

std::size_t CrLfLineEndsGrowth(std::string_view text) noexcept {
    if (!NeedsCrLfLineEnds(text)) return 0;
    return CountByte(text, HoldsByte(text, '\n') ? '\n' : '\r');
}

void MakeLineEndsCrLfInPlace(char* data, std::size_t size, std::size_t growth) noexcept {
    if (growth == 0) return;
    // An LF gets a CR before it; where there is no LF, a CR gets an LF after
    // it. Either way each line end becomes the same two bytes. From the back,
    // so that no byte is overwritten before it has moved.
    const char end = std::memchr(data, '\n', size) != nullptr ? '\n' : '\r';
    char* out = data + size + growth;
    std::size_t left = size;
    while (left > 0) {
#if defined(__SSE2__) || defined(_M_X64)
        // Sixteen bytes at a time: those after the block's last line end
        // move at once (the load is taken before the store that may overlap
        // it).
        if (left >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + left - 16));
            const auto ends = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(end))));
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

std::string WithCrLfLineEnds(std::string_view text) {
    std::string result;
    const std::size_t growth = CrLfLineEndsGrowth(text);
    result.reserve(text.size() + growth);
    AdviseHugePages(result);
    result.assign(text);
    result.resize(text.size() + growth);
    MakeLineEndsCrLfInPlace(result.data(), text.size(), growth);
    return result;
}

}  // namespace quarvo
