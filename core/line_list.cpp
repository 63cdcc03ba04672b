#include "line_list.h"

#include <cstring>

namespace quarvo {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Finds `byte` in [from, end), remembering the last answer: `cached` stays
// valid while it lies at or after `from`, so each byte is scanned once.
const char* NextByte(const char* from, const char* end, char byte, const char*& cached) {
    if (cached != nullptr && cached < from) {
        const void* hit = std::memchr(from, byte, static_cast<std::size_t>(end - from));
        cached = hit ? static_cast<const char*>(hit) : end;
    }
    return cached;
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
    const char* end = p + text.size();
    if (const void* zero = std::memchr(p, '\0', text.size())) end = static_cast<const char*>(zero);

    lines.joined_.reserve(static_cast<std::size_t>(end - p) + static_cast<std::size_t>(end - p) / 8 + 2);
    const char* before_start = p - 1;  // forces the first search of each byte
    const char* next_cr = before_start;
    const char* next_lf = before_start;
    while (p < end) {
        const char* cr = NextByte(p, end, '\r', next_cr);
        const char* lf = NextByte(p, end, '\n', next_lf);
        const char* stop = cr < lf ? cr : lf;
        lines.push_back(std::string_view(p, static_cast<std::size_t>(stop - p)));
        p = stop;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
}

std::string JoinLines(const LineList& lines) { return lines.joined(); }

}  // namespace quarvo
