// SPDX-License-Identifier: MIT
// Names from files as they are shown: no control character reaches a
// terminal or a report raw.
#include <gtest/gtest.h>

#include <string>

#include "quarvo/text/shown_text.h"

namespace quarvo {
namespace {

TEST(ShownText, WritesControlCharactersAsEscapes) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"plain name", "plain name"},
        {"\x1B]0;TITLE\a", "\\e]0;TITLE\\x07"},  // a terminal's title
        {"a\nFN:forged\r\tb", "a\\nFN:forged\\r\\tb"},
        {std::string("nul\0del\x7F", 8), "nul\\x00del\\x7F"},
        {"C:\\Opera\\x1B", "C:\\Opera\\x1B"},  // backslashes stay
#ifdef _WIN32
        {"M\xFCller \x9B", "M\xFCller \x9B"},  // the ANSI code page's characters
#else
        {"Zo\xC3\xAB \xC5\x81 \xE2\x82\xAC", "Zo\xC3\xAB \xC5\x81 \xE2\x82\xAC"},
        {"M\xFCller \x9B", "M\\xFCller \\x9B"},  // not UTF-8
        {"\xC2\x85 \xC2\x9B \xE2\x80\xA8 \xE2\x80\xA9", "\\u0085 \\u009B \\u2028 \\u2029"},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(Shown(c.text), c.shown) << c.text;
}

TEST(ShownText, ShortensWithoutCuttingACharacter) {
    EXPECT_EQ(ShownBriefly("short", 5), "short");
    EXPECT_EQ(ShownBriefly("longer", 5), "longe...");
    EXPECT_EQ(ShownBriefly("ab\xC3\xAB", 3), "ab...");  // ë would be cut
    EXPECT_EQ(ShownBriefly("\x1B\x1B\x1B", 2), "\\e\\e...");
    EXPECT_EQ(ShownBriefly(std::string(1 << 20, 'x'), 80).size(), 83u);
}

}  // namespace
}  // namespace quarvo
