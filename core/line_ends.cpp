#include "line_ends.h"

#include <cstring>

namespace quarvo {

bool HasBareLineFeed(std::string_view text) noexcept {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (p == nullptr) return false;
        if (p == begin || p[-1] != '\r') return true;
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
    result.resize(text.size() + bare);
    char* out = result.data();
    std::size_t done = 0;
    while (done < text.size()) {
        const void* hit = std::memchr(text.data() + done, '\n', text.size() - done);
        const std::size_t lf = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
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
