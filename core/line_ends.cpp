#include "line_ends.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "large_buffer.h"

namespace quarvo {

bool HasBareLineFeed(std::string_view text) noexcept {
    const char* const data = text.data();
    const std::size_t n = text.size();
    if (n == 0) return false;
    if (data[0] == '\n') return true;
    std::size_t i = 1;
#if defined(__SSE2__) || defined(_M_X64)
    // Every file is checked before it is converted, and a CR LF file has an
    // LF every few dozen bytes, which would stop memchr as often. Sixteen
    // bytes at a time: an LF is bare where the byte before it is not CR.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1));
        const __m128i bare = _mm_andnot_si128(_mm_cmpeq_epi8(before, cr), _mm_cmpeq_epi8(here, lf));
        if (_mm_movemask_epi8(bare) != 0) return true;
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == '\n' && data[i - 1] != '\r') return true;
    }
    return false;
}

std::string WithCrLfLineEnds(std::string_view text) {
    std::string result;
    if (!HasBareLineFeed(text)) {
        result.assign(text);
        return result;
    }
    // Files are either LF or CR LF throughout, so the line count is a fair
    // bound on the growth; one pass counts, one copies.
    std::size_t bare = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++bare;
    result.reserve(text.size() + bare);
    AdviseHugePages(result);
    result.resize(text.size() + bare);
    char* out = result.data();
    std::size_t done = 0;
    while (done < text.size()) {
        const void* hit = std::memchr(text.data() + done, '\n', text.size() - done);
        const std::size_t lf =
            hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
                : text.size();
        std::memcpy(out, text.data() + done, lf - done);
        out += lf - done;
        if (lf == text.size()) break;
        if (lf == 0 || text[lf - 1] != '\r') *out++ = '\r';
        *out++ = '\n';
        done = lf + 1;
    }
    return result;
}

}  // namespace quarvo
