// SPDX-License-Identifier: MIT
// Where a conversion cuts its text in two, and the conversion of a text in
// memory or of a file around that cut. Not part of the public interface.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "input_file.h"
#include "line_ends.h"

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

// A text to convert of which only the bytes of the window may be there yet;
// a cut is looked for in the window alone. `read_head` brings the bytes
// before it and `read_tail` those after it; either is empty when there are
// none to bring.
// `most_held` bounds the room of the second part's converted text that is
// held back while the first part is converted.
struct PartlyRead {
    std::string_view text;
    CutWindow window;
    std::function<void()> read_head;
    std::function<void()> read_tail;
    std::size_t most_held = std::string_view::npos;
};

// Converts a text held in memory with `convert(source, check_line_ends,
// near)`, which returns its result in an optional that is empty when the
// text, or one of the parts it was cut into, holds line ends other than
// CR LF; the whole text is then judged, and converted once more as it is or
// as its CR LF copy.
template <class Convert>
auto ConvertInMemory(std::string_view text, std::size_t near, Convert&& convert) {
    auto converted = convert(PartlyRead{text, {0, text.size()}, {}, {}}, true, near);
    if (!converted) {
        if (!NeedsCrLfLineEnds(text)) {
            converted = convert(PartlyRead{text, {0, text.size()}, {}, {}}, false, near);
        } else {
            const std::string crlf = WithCrLfLineEnds(text);
            converted = convert(PartlyRead{crlf, {0, crlf.size()}, {}, {}}, false, near);
        }
    }
    return std::move(*converted);
}

// The same for the file `file_name` (which must exist): the
// window where the cut is looked for is read first, and each half then by
// the thread that converts it. The file's bytes are given up before this
// returns.
template <class Convert>
auto ConvertFromFile(const std::string& file_name, Convert&& convert) {
    InputFile input(file_name);
    // Converted text held back beside the file's bytes stays within the
    // file's size, so that a conversion holds at most twice that.
    const std::size_t file_size = input.size();
    const std::size_t near = CutPoint(file_size);
    const CutWindow window = WindowFor(file_size, near);
    input.Read(window.begin, window.end);
    auto converted = convert(PartlyRead{input.text(), window, [&] { input.Read(0, window.begin); },
                                        [&] { input.Read(window.end, file_size); }, file_size},
                             true, near);
    if (!converted) {
        // Judged on the whole file; its text grows in place where it needs
        // CR LF line ends, so that it is never held twice.
        input.MakeLineEndsCrLf();
        const std::size_t growth = input.size() - file_size;
        converted = convert(PartlyRead{input.text(), {0, input.size()}, {}, {}, file_size - growth},
                            false, CutPoint(input.size()));
    }
    return std::move(*converted);
}

}  // namespace quarvo
