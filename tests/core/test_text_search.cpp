// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "quarvo/text/text_search.h"

namespace quarvo {
namespace {

TEST(TextPos, FindsTheFirstOccurrence) {
    EXPECT_EQ(TextPos("b", "abcb"), 2u);
    EXPECT_EQ(TextPos("abc", "abc"), 1u);
    EXPECT_EQ(TextPos("-", "-"), 1u);
    EXPECT_EQ(TextPos("", "abc"), 0u);
    EXPECT_EQ(TextPos("abcd", "abc"), 0u);
    EXPECT_EQ(TextPos("a", ""), 0u);
    EXPECT_EQ(TextPos("#url", "#URL"), 0u);
}

TEST(FindBytes, HandlesZeroBytesAndNearMisses) {
    const std::string text("ab\0ab\0abc", 9);
    EXPECT_EQ(FindBytes(text, "abc"), 6u);
    EXPECT_EQ(FindBytes(text, std::string_view("\0a", 2)), 2u);
    EXPECT_EQ(FindBytes(text, std::string_view("\0a", 2), 3), 5u);
    EXPECT_EQ(FindBytes(text, "abc", 7), std::string_view::npos);
    EXPECT_EQ(FindBytes(text, "c", 9), std::string_view::npos);
    EXPECT_EQ(FindBytes(text, "c", 99), std::string_view::npos);
}

struct CountCase {
    std::string_view text;
    std::string_view pattern;
    int expected;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << "'" << c.pattern << "' in '" << c.text << "'";
}

class CountOccurrencesTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountOccurrencesTest, CountsAsTheMainWindowExpects) {
    const CountCase& c = GetParam();
    EXPECT_EQ(CountOccurrences(c.text, c.pattern), c.expected)
        << "'" << c.pattern << "' in '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(Cases, CountOccurrencesTest,
                         ::testing::Values(CountCase{"aaa", "aa", 1}, CountCase{"aaaa", "aa", 2},
                                           CountCase{"abab", "ab", 2}, CountCase{"abc", "abc", 1},
                                           CountCase{"abc", "abcd", 0}, CountCase{"", "a", 0},
                                           CountCase{"banana", "a", 3}, CountCase{"abc", "", 0},
                                           CountCase{"#URL\r\n\r\n#URL\r\n\r\n#FOLDER", "#URL", 2},
                                           CountCase{"x#URL", "#URL", 1},
                                           CountCase{"#CONTACT#CONTACT#CONTACT", "#CONTACT", 3}));

}  // namespace
}  // namespace quarvo
