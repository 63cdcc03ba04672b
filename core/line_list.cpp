// SPDX-License-Identifier: MIT
#include "line_list.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "large_buffer.h"

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

void LineList::Append(std::string_view line) {
    joined_.append(line);
    joined_.append(kCrLf);
    ++count_;
}

void LineList::push_back(std::string_view line) {
    if (starts_.size() == count_) starts_.push_back(joined_.size());
    Append(line);
}

std::string_view LineList::operator[](std::size_t index) const {
    if (starts_.size() < count_) {
        // Lines hold no line feed, so each one ends just before the next.
        std::size_t at = starts_.empty() ? 0 : starts_.back();
        if (!starts_.empty()) at = joined_.find('\n', at) + 1;
        starts_.reserve(count_);
        while (starts_.size() < count_) {
            starts_.push_back(at);
            at = joined_.find('\n', at) + 1;
        }
    }
    const std::size_t start = starts_[index];
    const std::size_t end = index + 1 < count_ ? starts_[index + 1] : joined_.size();
    return std::string_view(joined_).substr(start, end - start - kCrLf.size());
}

void SplitLines(std::string_view text, LineList& lines) {
    lines.clear();
    if (text.empty()) return;
    const char* p = text.data();
    const char* const end = p + text.size();

    // Generous on purpose: pages of the reserve that no line reaches are
    // never touched, while growing the text would copy it.
    lines.joined_.reserve(text.size() + text.size() / 8 + 2);
    AdviseHugePages(lines.joined_);
    // A zero byte ends the text; the same scan finds it.
    std::string& joined = lines.joined_;
    while (p < end && *p != '\0') {
        const char* const stop = NextStop(p, end);
        ++lines.count_;
        if (end - stop >= 2 && stop[0] == '\r' && stop[1] == '\n') {
            joined.append(p, static_cast<std::size_t>(stop + 2 - p));  // the line and its CR LF
            p = stop + 2;
            continue;
        }
        joined.append(p, static_cast<std::size_t>(stop - p));
        joined.append(kCrLf);
        p = stop;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
}

std::string JoinLines(const LineList& lines) {
    return lines.joined();
}

}  // namespace quarvo
