// SPDX-License-Identifier: MIT
#include "quarvo/text/line_list.h"

#include <cstring>

#include "text/large_buffer.h"
#include "text/scan/byte_set.h"

namespace quarvo {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The first CR, LF or zero byte in [from, end), or `end`.
const char* NextStop(const char* from, const char* end) noexcept {
    return scan::FindFirstOf<'\r', '\n', '\0'>(from, end);
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
