// SPDX-License-Identifier: MIT
// A check of JSON text without a JSON library, for the tests and fuzz
// targets of the browsers' own bookmark files.
#pragma once

#include <string>
#include <string_view>

namespace quarvo::testing {

// The shape a JSON reader needs: objects and arrays closed in order outside
// strings, every string closed, its escapes known and no raw control
// character in it, nothing after the value.
inline bool IsWellFormedJson(std::string_view text) {
    std::string open;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c == '"') in_string = false;
            if (c != '\\') continue;
            if (++i == text.size() ||
                std::string_view("\"\\/bfnrtu").find(text[i]) == std::string_view::npos)
                return false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            open += c == '{' ? '}' : ']';
        } else if (c == '}' || c == ']') {
            if (open.empty() || open.back() != c) return false;
            open.pop_back();
            if (open.empty() && text.find_first_not_of(" \n", i + 1) != std::string_view::npos)
                return false;
        }
    }
    return !in_string && open.empty() && !text.empty();
}

}  // namespace quarvo::testing
