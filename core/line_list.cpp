#include "line_list.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace quarvo {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The first CR, LF or zero byte in [from, end), or `end`.
const char* NextStop(const char* from, const char* end) noexcept {
#if defined(__SSE2__) || defined(_M_X64)
    // Lines are short, so a memchr call for each kind of byte on every line
    // costs more than the bytes it reads; sixteen bytes at a time finds any
    // of the three in one step.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                         _mm_cmpeq_epi8(bytes, zero));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return from + std::countr_zero(mask);
    }
#endif
    while (from < end && *from != '\r' && *from != '\n' && *from != '\0') ++from;
    return from;
}

}  // namespace

void LineList::push_back(std::string_view line) {
    bounds_.push_back({joined_.size(), line.size()});
    joined_.append(line);
    joined_.append(kCrLf);
}

void SplitLines(std::string_view text, LineList& lines) {
    lines.clear();
    if (text.empty()) return;
    const char* p = text.data();
    const char* const end = p + text.size();

    lines.joined_.reserve(text.size() + text.size() / 8 + 2);
    // Generous on purpose: pages of the reserve that no line reaches are
    // never touched, while growing a vector of millions of bounds copies it.
    lines.bounds_.reserve(text.size() / 16 + 1);
    // A zero byte ends the text; it is found by the same scan as the breaks.
    while (p < end && *p != '\0') {
        const char* stop = NextStop(p, end);
        lines.push_back(std::string_view(p, static_cast<std::size_t>(stop - p)));
        p = stop;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
}

std::string JoinLines(const LineList& lines) {
    return lines.joined();
}

}  // namespace quarvo
