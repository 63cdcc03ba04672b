// SPDX-License-Identifier: MIT
// SplitLines and JoinLines: joining the lines of a text gives the text with
// every line break as CR LF, a final CR LF added, and everything from the
// first zero byte on dropped.
#include <cstddef>
#include <cstdint>
#include <string>

#include "laws.h"
#include "quarvo/text/line_list.h"

namespace {

std::string ModelJoinOfSplit(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.append("\r\n");
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one break
        } else if (text[i] == '\n') {
            out.append("\r\n");
        } else {
            out.push_back(text[i]);
        }
    }
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') out.append("\r\n");
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    const std::string_view text = AsText(data, size);
    quarvo::LineList lines;
    lines.push_back("left over from before");
    quarvo::SplitLines(text, lines);

    const std::string joined = quarvo::JoinLines(lines);
    const std::string expected = ModelJoinOfSplit(text);
    QUARVO_LAW(joined == expected);
    QUARVO_LAW(lines.size() == CountTags(expected, "\r\n"));

    std::size_t total = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        QUARVO_LAW(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        total += line.size() + 2;
    }
    QUARVO_LAW(total == joined.size());

    // Splitting the joined text again changes nothing.
    quarvo::LineList again;
    quarvo::SplitLines(joined, again);
    QUARVO_LAW(quarvo::JoinLines(again) == joined);
    return 0;
}
