// SPDX-License-Identifier: MIT
#include "quarvo/text/strman.h"

#include <cstring>

#include "quarvo/text/text_search.h"

namespace quarvo {
namespace {

// 0-based offset at which the search of a 1-based start position begins;
// starts below 1 count as 1.
std::size_t SearchOffset(long long start) noexcept {
    return start < 1 ? 0 : static_cast<std::size_t>(start - 1);
}

}  // namespace

std::string_view TStringManager::TextAfter(std::string_view marker, std::string_view text,
                                           long long start) const noexcept {
    const std::size_t at = FindBytes(text, marker, SearchOffset(start));
    if (at == std::string_view::npos) return {};
    return text.substr(at + marker.size());
}

std::string_view TStringManager::TextBefore(std::string_view marker, std::string_view text,
                                            long long start) const noexcept {
    const std::size_t at = FindBytes(text, marker, SearchOffset(start));
    if (at == std::string_view::npos) return text;
    return text.substr(0, at);
}

std::string_view TStringManager::TextAfterLast(std::string_view marker,
                                               std::string_view text) const noexcept {
    if (marker.empty() || marker.size() > text.size()) return {};
    const std::size_t at = text.rfind(marker);
    if (at == std::string_view::npos) return {};
    return text.substr(at + marker.size());
}

std::string TStringManager::ReplaceText(std::string_view old_text, std::string_view new_text,
                                        std::string_view text) const {
    if (text.empty() || old_text.empty() || old_text.size() > text.size()) return std::string(text);
    std::size_t at = FindBytes(text, old_text);
    if (at == std::string_view::npos) return std::string(text);

    if (old_text.size() == new_text.size()) {
        // Same length: overwrite in a private copy, the rest never moves.
        std::string result(text);
        while (at != std::string_view::npos) {
            std::memcpy(result.data() + at, new_text.data(), new_text.size());
            at = FindBytes(text, old_text, at + old_text.size());
        }
        return result;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t done = 0;
    while (at != std::string_view::npos) {
        result.append(text.substr(done, at - done));
        result.append(new_text);
        done = at + old_text.size();
        at = FindBytes(text, old_text, done);
    }
    result.append(text.substr(done));
    return result;
}

}  // namespace quarvo
