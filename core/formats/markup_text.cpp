// SPDX-License-Identifier: MIT
#include "formats/markup_text.h"

#include <array>

namespace quarvo::formats {

namespace {

// The bytes that need a look: what markup would read, the control
// characters XML has not, and the first byte of U+FFFE and U+FFFF.
constexpr auto kSpecial = [] {
    std::array<bool, 256> special{};
    for (int c = 0; c < 0x20; ++c) special[c] = c != '\t' && c != '\n';
    for (unsigned char c : {'&', '<', '>', '"', '\xEF'}) special[c] = true;
    return special;
}();

}  // namespace

bool AppendMarkupText(std::string& out, std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    bool replaced = false;
    std::size_t plain = 0;  // where the bytes not yet appended begin
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!kSpecial[byte]) continue;
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF; other EF sequences stay.
        const bool not_a_character = byte == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                                     (text[i + 2] == '\xBE' || text[i + 2] == '\xBF');
        if (byte == 0xEF && !not_a_character) continue;
        out.append(text.substr(plain, i - plain));
        switch (byte) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += kReplacement;
                replaced = true;
                if (not_a_character) i += 2;
        }
        plain = i + 1;
    }
    out.append(text.substr(plain));
    return replaced;
}

}  // namespace quarvo::formats
