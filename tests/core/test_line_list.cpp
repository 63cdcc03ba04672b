// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quarvo/text/line_list.h"

namespace quarvo {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    LineList list;
    SplitLines(text, list);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.size(); ++i) lines.emplace_back(list[i]);
    return lines;
}

using Strings = std::vector<std::string>;

TEST(SplitLines, EachKindOfLineBreakEndsOneLine) {
    EXPECT_EQ(Lines(""), Strings{});
    EXPECT_EQ(Lines("a\r\n"), Strings{"a"});
    EXPECT_EQ(Lines("a\r\n\r\n"), (Strings{"a", ""}));
    EXPECT_EQ(Lines("\r\n"), Strings{""});
    EXPECT_EQ(Lines("a\n\rb"), (Strings{"a", "", "b"}));
    EXPECT_EQ(Lines("a\rb\nc\r\nd"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(Lines("\n\n"), (Strings{"", ""}));
}

TEST(SplitLines, AZeroByteEndsTheText) {
    EXPECT_EQ(Lines(std::string("a\0b", 3)), Strings{"a"});
    EXPECT_EQ(Lines(std::string("\0a\r\nb", 5)), Strings{});
    EXPECT_EQ(Lines(std::string("x\r\ny\0\r\nz", 8)), (Strings{"x", "y"}));
}

TEST(SplitLines, ReplacesWhatTheListHeld) {
    LineList list;
    SplitLines("old\r\nlines\r\n", list);
    SplitLines("new", list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], "new");
    EXPECT_EQ(JoinLines(list), "new\r\n");
}

TEST(LineList, IndexesLinesAddedBySplittingAndAppending) {
    LineList list;
    SplitLines("first\r\n\r\nthird", list);
    list.push_back("fourth");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], "first");
    EXPECT_EQ(list[1], "");
    EXPECT_EQ(list[2], "third");
    EXPECT_EQ(list[3], "fourth");
    list.push_back("");
    list.push_back("sixth");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list[5], "sixth");
    list.clear();
    EXPECT_TRUE(list.empty());
    list.push_back("again");
    EXPECT_EQ(list[0], "again");
}

TEST(JoinLines, EndsEveryLineWithCrLf) {
    LineList list;
    EXPECT_EQ(JoinLines(list), "");
    list.push_back("");
    EXPECT_EQ(JoinLines(list), "\r\n");
    list.push_back("second");
    EXPECT_EQ(JoinLines(list), "\r\nsecond\r\n");
}

TEST(JoinLinesOfSplitLines, NormalisesBreaksAndDropsFromTheZeroByte) {
    EXPECT_EQ(JoinLines([] {
                  LineList l;
                  SplitLines("a\nb\rc", l);
                  return l;
              }()),
              "a\r\nb\r\nc\r\n");
    EXPECT_EQ(JoinLines([] {
                  LineList l;
                  SplitLines("a\r\n", l);
                  return l;
              }()),
              "a\r\n");
    EXPECT_EQ(JoinLines([] {
                  LineList l;
                  SplitLines(std::string("a\r\nb\0c\n", 7), l);
                  return l;
              }()),
              "a\r\nb\r\n");
}

}  // namespace
}  // namespace quarvo
