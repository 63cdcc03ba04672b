// SPDX-License-Identifier: MIT
// Plain substring search and counting over byte strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarvo {

// 0-based offset of the first `pattern` in `text` at or after `from`, or
// std::string_view::npos. An empty pattern is never found.
[[nodiscard]] std::size_t FindBytes(std::string_view text, std::string_view pattern,
                                    std::size_t from = 0) noexcept;

// 1-based position of the first `pattern` in `text`; 0 when it is absent,
// empty, or longer than the text.
[[nodiscard]] std::size_t TextPos(std::string_view pattern, std::string_view text) noexcept;

// Occurrences of `pattern` in `text`. Each search restarts one byte after the
// previous hit, so overlapping hits count, but counting stops once a hit
// reaches the next-to-last byte of the text. Saturates at INT32_MAX.
[[nodiscard]] std::int32_t CountOccurrences(std::string_view text,
                                            std::string_view pattern) noexcept;

}  // namespace quarvo
