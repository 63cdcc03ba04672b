// SPDX-License-Identifier: MIT
// Where a conversion cuts its text in two, so that the halves can be
// converted side by side. Not part of the public interface.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace quarvo {

// Below this size a second thread costs more than it saves.
inline constexpr std::size_t kSideBySideBytes = std::size_t{512} << 10;

// How far past the point a text is cut near the cut may lie; a file
// conversion reads this much first and looks for the cut in it.
inline constexpr std::size_t kCutSearchBytes = std::size_t{256} << 10;

// Near where a text of `size` bytes is cut: nowhere (past its end) when it is
// small, else halfway. In a file conversion the first half is also written
// to the file on the caller's thread, while the second thread first reads
// the second half in.
[[nodiscard]] inline std::size_t CutPoint(std::size_t size) noexcept {
    return size < kSideBySideBytes ? std::string_view::npos : size / 2;
}

// The bytes of a file that are read first, where the cut near `near` is
// looked for: from two bytes before it (whether a separator is one looks
// two bytes back) to kCutSearchBytes past it. The whole file when it is
// not to be cut.
struct CutWindow {
    std::size_t begin = 0;
    std::size_t end = 0;
};
[[nodiscard]] inline CutWindow WindowFor(std::size_t size, std::size_t near) noexcept {
    if (near >= size) return {0, size};
    return {near < 2 ? 0 : near - 2, std::min(size, near + kCutSearchBytes)};
}

// A cut that a format's reader found: the first part ends at `first_end`,
// the second begins at `second_begin`; the bytes between (a separator)
// belong to neither. The two parts read one after the other must give
// exactly what one pass over the whole gives.
struct TextCut {
    std::size_t first_end = 0;
    std::size_t second_begin = 0;
};

}  // namespace quarvo
