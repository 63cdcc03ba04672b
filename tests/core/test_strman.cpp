// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "quarvo/text/strman.h"

namespace quarvo {
namespace {

TEST(TextAfter, CutsAfterTheFirstOccurrence) {
    EXPECT_EQ(StrMan.TextAfter("=", "a=b=c"), "b=c");
    EXPECT_EQ(StrMan.TextAfter("NAME=", "\tNAME=x\r\n"), "x\r\n");
    EXPECT_EQ(StrMan.TextAfter("end", "the end"), "");  // marker on the last byte
}

TEST(TextAfter, MissesGiveEmptyText) {
    EXPECT_EQ(StrMan.TextAfter("x", "abc"), "");
    EXPECT_EQ(StrMan.TextAfter("", "abc"), "");
    EXPECT_EQ(StrMan.TextAfter("a", ""), "");
    EXPECT_EQ(StrMan.TextAfter("abcd", "abc"), "");      // marker longer than text
    EXPECT_EQ(StrMan.TextAfter("name=", "NAME=x"), "");  // case matters
}

TEST(TextAfter, StartPositionLimitsTheSearchButNotTheCut) {
    EXPECT_EQ(StrMan.TextAfter("a", "a1a2", 2), "2");
    EXPECT_EQ(StrMan.TextAfter("a", "a1a2", 0), "1a2");  // below 1 counts as 1
    EXPECT_EQ(StrMan.TextAfter("a", "a1a2", -7), "1a2");
    EXPECT_EQ(StrMan.TextAfter("a", "a1a2", 5), "");     // beyond the end
    EXPECT_EQ(StrMan.TextBefore("a", "a1a2", 2), "a1");  // cut from byte 1
    EXPECT_EQ(StrMan.TextBefore("a", "a1a2", 9), "a1a2");
}

TEST(TextBefore, CutsBeforeTheFirstOccurrence) {
    EXPECT_EQ(StrMan.TextBefore("=", "a=b=c"), "a");
    EXPECT_EQ(StrMan.TextBefore("a", "abc"), "");  // marker at position 1
    EXPECT_EQ(StrMan.TextBefore("\r\n", "value\r\nnext"), "value");
}

TEST(TextBefore, MissesGiveTheWholeText) {
    EXPECT_EQ(StrMan.TextBefore("x", "abc"), "abc");
    EXPECT_EQ(StrMan.TextBefore("", "abc"), "abc");
    EXPECT_EQ(StrMan.TextBefore("a", ""), "");
    EXPECT_EQ(StrMan.TextBefore("abcd", "abc"), "abc");
    EXPECT_EQ(StrMan.TextBefore("B", "abc"), "abc");
}

TEST(TextBeforeAndAfter, JoinWithTheMarkerToTheWholeText) {
    const std::string text = std::string("x\0y=\x02z=", 7);
    for (const std::string_view marker :
         {std::string_view("="), std::string_view("\x02"), std::string_view("\0", 1),
          std::string_view("x"), std::string_view("z=")}) {
        const std::string joined = std::string(StrMan.TextBefore(marker, text)) +
                                   std::string(marker) +
                                   std::string(StrMan.TextAfter(marker, text));
        EXPECT_EQ(joined, text) << "marker of " << marker.size() << " bytes";
    }
}

TEST(TextAfterLast, CutsAfterTheLastOccurrence) {
    EXPECT_EQ(StrMan.TextAfterLast("\\", "C:\\Program Files\\Opera\\contacts.adr"), "contacts.adr");
    EXPECT_EQ(StrMan.TextAfterLast("/", "/home/u/.opera/bookmarks.adr"), "bookmarks.adr");
    EXPECT_EQ(StrMan.TextAfterLast("\\", "contacts.adr"), "");
    EXPECT_EQ(StrMan.TextAfterLast("\\", "\\"), "");
    EXPECT_EQ(StrMan.TextAfterLast("\\", "C:\\dir\\"), "");
    EXPECT_EQ(StrMan.TextAfterLast("aa", "aaa"), "");  // last hit starts at position 2
    EXPECT_EQ(StrMan.TextAfterLast("", "abc"), "");
    EXPECT_EQ(StrMan.TextAfterLast("abcd", "abc"), "");
}

constexpr std::string_view kMarker = "\x02\x02";
constexpr std::string_view kCrLf = "\r\n";

TEST(ReplaceText, TurnsMarkerPairsIntoLineBreaks) {
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, "no pair here"), "no pair here");
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf,
                                 "a\x02\x02"
                                 "b\x02\x02"
                                 "c"),
              "a\r\nb\r\nc");
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, "\x02\x02\x02"), "\r\n\x02");
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, "\x02\x02\x02\x02"), "\r\n\r\n");
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, "\x02"), "\x02");
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, ""), "");
}

TEST(ReplaceText, EqualLengthsKeepTheLength) {
    const std::string text = "\x02\x02\x02x\x02\x02\x02\x02\x02";
    EXPECT_EQ(StrMan.ReplaceText(kMarker, kCrLf, text).size(), text.size());
}

TEST(ReplaceText, OtherLengthsNeverRescanInsertedText) {
    EXPECT_EQ(StrMan.ReplaceText("a", "aa", "aba"), "aabaa");
    EXPECT_EQ(StrMan.ReplaceText("ab", "", "aabb"), "ab");
    EXPECT_EQ(StrMan.ReplaceText("x", "yz", "x"), "yz");
    EXPECT_EQ(StrMan.ReplaceText("", "yz", "abc"), "abc");
    EXPECT_EQ(StrMan.ReplaceText("abcd", "", "abc"), "abc");
}

}  // namespace
}  // namespace quarvo
