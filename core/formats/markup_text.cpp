// SPDX-License-Identifier: MIT
#include "formats/markup_text.h"

namespace quarvo::formats {

bool AppendMarkupText(std::string& out, std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    bool replaced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\t':
            case '\n':
                out += c;
                continue;
            default:
                break;
        }
        const auto byte = static_cast<unsigned char>(c);
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        const bool not_a_character = byte == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                                     (text[i + 2] == '\xBE' || text[i + 2] == '\xBF');
        if (byte < 0x20 || not_a_character) {
            out += kReplacement;
            if (not_a_character) i += 2;
            replaced = true;
            continue;
        }
        out += c;
    }
    return replaced;
}

}  // namespace quarvo::formats
