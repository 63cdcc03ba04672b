// SPDX-License-Identifier: MIT
#include "quarvo/text/text_search.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "text/scan/pattern_search.h"

namespace quarvo {

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
    return scan::FindPattern(base, from, n - m, pattern);  // n - m: the last place a hit can start
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
