// SPDX-License-Identifier: MIT
// The marker operations against plain models: first/last occurrence cuts,
// ReplaceText's left-to-right scan that never searches inserted text, and the
// counting rule that stops at the next-to-last byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "laws.h"
#include "quarvo/text/strman.h"
#include "quarvo/text/text_search.h"

namespace {

// Input layout: [old length][new length][start][old][new][text...]; small
// lengths keep hits likely. An odd third byte makes new as long as old, the
// way the converters call ReplaceText.
struct Case {
    std::string_view old_text, new_text, text;
    long long start = 1;
};

bool Parse(std::string_view data, Case& c) {
    if (data.size() < 3) return false;
    const std::size_t m = static_cast<unsigned char>(data[0]) % 6;
    std::size_t r = static_cast<unsigned char>(data[1]) % 6;
    const auto flags = static_cast<unsigned char>(data[2]);
    if (flags & 1) r = m;
    data.remove_prefix(3);
    if (data.size() < m + r) return false;
    c.old_text = data.substr(0, m);
    c.new_text = data.substr(m, r);
    c.text = data.substr(m + r);
    c.start = static_cast<long long>(flags >> 1) - 8;  // -8 .. 119: below 1 and past the end too
    return true;
}

std::string ModelReplace(std::string_view old_text, std::string_view new_text,
                         std::string_view text) {
    if (text.empty() || old_text.empty() || old_text.size() > text.size()) return std::string(text);
    std::string out;
    std::size_t i = 0;
    while (i + old_text.size() <= text.size()) {
        if (text.substr(i, old_text.size()) == old_text) {
            out.append(new_text);
            i += old_text.size();
        } else {
            out.push_back(text[i++]);
        }
    }
    out.append(text.substr(i));
    return out;
}

std::int32_t ModelCount(std::string_view text, std::string_view pattern) {
    const std::size_t n = text.size(), m = pattern.size();
    if (m > n || m == 0 || n == 0) return 0;
    std::int32_t count = 0;
    if (m == 1) {
        for (char c : text) count += c == pattern[0];
        return count;
    }
    std::size_t p = text.find(pattern);  // 0-based; the rule's p is p + 1
    if (p == std::string_view::npos) return 0;
    count = 1;
    while (p + 1 + m < n) {
        p = text.find(pattern, p + 1);
        if (p == std::string_view::npos) break;
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    using quarvo::StrMan;
    Case c;
    if (!Parse(AsText(data, size), c)) return 0;
    const std::string_view marker = c.old_text, text = c.text;

    const std::string replaced = StrMan.ReplaceText(c.old_text, c.new_text, text);
    QUARVO_LAW(replaced == ModelReplace(c.old_text, c.new_text, text));
    if (c.old_text.size() == c.new_text.size()) QUARVO_LAW(replaced.size() == text.size());

    const std::size_t pos = quarvo::TextPos(marker, text);
    const std::size_t found = marker.empty() ? std::string_view::npos : text.find(marker);
    QUARVO_LAW(pos == (found == std::string_view::npos ? 0 : found + 1));
    const std::string_view before = StrMan.TextBefore(marker, text);
    const std::string_view after = StrMan.TextAfter(marker, text);
    if (pos > 0) {
        QUARVO_LAW(std::string(before) + std::string(marker) + std::string(after) == text);
        QUARVO_LAW(before.size() == pos - 1);
    } else {
        QUARVO_LAW(after.empty());
        QUARVO_LAW(before == text);
    }

    // A start position moves where the search begins, never where the cut is.
    const std::size_t from = c.start < 1 ? 0 : static_cast<std::size_t>(c.start - 1);
    const std::size_t hit =
        marker.empty() || from > text.size() ? std::string_view::npos : text.find(marker, from);
    const std::string_view before_from = StrMan.TextBefore(marker, text, c.start);
    const std::string_view after_from = StrMan.TextAfter(marker, text, c.start);
    if (hit == std::string_view::npos) {
        QUARVO_LAW(before_from == text && after_from.empty());
    } else {
        QUARVO_LAW(before_from == text.substr(0, hit));
        QUARVO_LAW(after_from == text.substr(hit + marker.size()));
    }

    const std::size_t last = marker.empty() ? std::string_view::npos : text.rfind(marker);
    const std::string_view after_last = StrMan.TextAfterLast(marker, text);
    QUARVO_LAW(after_last == (last == std::string_view::npos ? std::string_view{}
                                                             : text.substr(last + marker.size())));

    QUARVO_LAW(quarvo::CountOccurrences(text, marker) == ModelCount(text, marker));
    return 0;
}
