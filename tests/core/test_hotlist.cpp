// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

const std::string kHeader = "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3";

// The HTML between the prologue and the epilogue.
std::string Body(std::string_view hotlist, int* bookmarks = nullptr) {
    const std::optional<BookmarksConversion> result = ConvertHotlistText(hotlist);
    if (!result) return "(unsupported version)";
    if (bookmarks) *bookmarks = result->bookmarks;
    const std::string& html = result->html;
    EXPECT_TRUE(html.starts_with(kBookmarkPrologue));
    EXPECT_TRUE(html.ends_with(kBookmarkEpilogue));
    return html.substr(kBookmarkPrologue.size(),
                       html.size() - kBookmarkPrologue.size() - kBookmarkEpilogue.size());
}

std::string Join(std::initializer_list<std::string_view> entries) {
    std::string text;
    for (const std::string_view entry : entries) {
        if (!text.empty()) text += "\r\n\r\n";
        text += entry;
    }
    return text;
}

TEST(BookmarkHtml, EmptyOrHeaderOnlyHotlistGivesTheBareFile) {
    EXPECT_EQ(kBookmarkPrologue.size(), 191u);
    const auto empty = ConvertHotlistText("");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->html.size(), 201u);
    EXPECT_EQ(empty->bookmarks, 0);
    EXPECT_EQ(ConvertHotlistText(kHeader + "\r\n\r\n")->html, empty->html);

    TempFolder folder;
    PutBytes(folder.File("b.htm"), "old");
    EXPECT_THROW((void)ConvertOperaBookmarks(folder.File("missing.adr"), folder.File("b.htm")),
                 EFOpenError);
    EXPECT_EQ(GetBytes(folder.File("b.htm")), "old") << "a missing file is not an empty one";
    PutBytes(folder.File("empty.adr"), "");
    EXPECT_EQ(ConvertOperaBookmarks(folder.File("empty.adr"), folder.File("b.htm")), 0);
    EXPECT_EQ(GetBytes(folder.File("b.htm")), empty->html);
}

TEST(BookmarkHtml, WritesFoldersBookmarksSeparatorsAndEnds) {
    const std::string hotlist = Join(
        {kHeader, "#FOLDER\r\n\tID=1\r\n\tNAME=News\r\n\tCREATED=100",
         "#URL\r\n\tNAME=Paper\r\n\tURL=http://p/\r\n\tCREATED=200\r\n\tVISITED=300",
         "#SEPERATOR\r\n\tID=3", "-", "#URL\r\n\tNAME=Last\r\n\tURL=http://l/\r\n\tCREATED=400"});
    int bookmarks = 0;
    EXPECT_EQ(
        Body(hotlist, &bookmarks),
        "<DT><H3 FOLDED ADD_DATE=\"100\">News</H3>\r\n<DL><p>\r\n"
        "<DT><A HREF=\"http://p/\" ADD_DATE=\"200\" LAST_VISIT=\"300\" "
        "LAST_MODIFIED=\"200\">Paper</A>\r\n"
        "<DT><A HREF=\"http://www.opera.com/\" ADD_DATE=\"1148873838\" LAST_VISIT=\"1148873838\" "
        "LAST_MODIFIED=\"1148873838\">--------------------</A>\r\n"
        "</DL><p>\r\n"
        "<DT><A HREF=\"http://l/\" ADD_DATE=\"400\" LAST_VISIT=\"400\" "
        "LAST_MODIFIED=\"400\">Last</A>\r\n");
    EXPECT_EQ(bookmarks, 2);
}

TEST(BookmarkHtml, MissingDatesStayEmpty) {
    EXPECT_EQ(Body("#URL\r\n\tNAME=n\r\n\tURL=u\r\n\tVISITED="),
              "<DT><A HREF=\"u\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">n</A>\r\n");
}

TEST(BookmarkHtml, SpecialCharactersAreEscaped) {
    EXPECT_EQ(Body("#URL\r\n\tNAME=<b>Tom & "
                   "\"Jerry\"</b>\r\n\tURL=http://x/?a=1&b=\"2\"\r\n\tCREATED=1<2"),
              "<DT><A HREF=\"http://x/?a=1&amp;b=&quot;2&quot;\" ADD_DATE=\"1&lt;2\" "
              "LAST_VISIT=\"1&lt;2\" LAST_MODIFIED=\"1&lt;2\">&lt;b&gt;Tom &amp; "
              "&quot;Jerry&quot;&lt;/b&gt;</A>\r\n");
    EXPECT_EQ(
        Body("#FOLDER\r\n\tNAME=\"></H3><script>"),
        "<DT><H3 FOLDED ADD_DATE=\"\">&quot;&gt;&lt;/H3&gt;&lt;script&gt;</H3>\r\n<DL><p>\r\n");
}

TEST(BookmarkHtml, MarkersAndKeysAreCaseSensitive) {
    EXPECT_EQ(Body("#url\r\n\tNAME=x"), "");
    EXPECT_EQ(Body("#Folder\r\n\tNAME=x"), "");
    EXPECT_EQ(Body("#URL\r\n\tname=x\r\n\tURL=u"),
              "<DT><A HREF=\"u\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\"></A>\r\n");
}

TEST(BookmarkHtml, AnEntryWithSeveralMarkersYieldsEachInOrder) {
    int bookmarks = 0;
    const std::string body = Body("#FOLDER\r\n\tNAME=My #URL folder\r\n\tCREATED=5", &bookmarks);
    EXPECT_EQ(body,
              "<DT><H3 FOLDED ADD_DATE=\"5\">My #URL folder</H3>\r\n<DL><p>\r\n"
              "<DT><A HREF=\"\" ADD_DATE=\"5\" LAST_VISIT=\"5\" LAST_MODIFIED=\"5\">My #URL "
              "folder</A>\r\n");
    EXPECT_EQ(bookmarks, 1);
}

TEST(BookmarkHtml, TheFirstOccurrenceOfAKeyWins) {
    EXPECT_EQ(Body("#URL\r\n\tSHORT NAME=short\r\n\tNAME=long\r\n\tDISPLAY URL=d\r\n\tURL=u"),
              "<DT><A HREF=\"d\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">short</A>\r\n");
}

TEST(BookmarkHtml, SurplusBlankLinesAndFolderEnds) {
    // A third CR LF stays at the start of the next entry: a folder end is then
    // no longer exactly "-"; an extra pair gives an empty entry.
    EXPECT_EQ(Body("#FOLDER\r\n\tNAME=f\r\n\r\n\r\n-\r\n\r\n\r\n\r\n-"),
              "<DT><H3 FOLDED ADD_DATE=\"\">f</H3>\r\n<DL><p>\r\n</DL><p>\r\n");
    EXPECT_EQ(Body("#FOLDER\r\n\tNAME=f\r\n\r\n\r\n-"),
              "<DT><H3 FOLDED ADD_DATE=\"\">f</H3>\r\n<DL><p>\r\n");
    EXPECT_EQ(Body(Join({"-", "-"})), "</DL><p>\r\n</DL><p>\r\n");
}

TEST(BookmarkHtml, LfFilesConvertLikeTheirCrLfTwins) {
    const std::string crlf =
        Join({kHeader, "#FOLDER\r\n\tNAME=f", "#URL\r\n\tNAME=a\r\n\tURL=http://a/",
              "#URL\r\n\tNAME=b\r\n\tURL=http://b/", "-"}) +
        "\r\n";
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf.push_back(c);
    int bookmarks = 0;
    EXPECT_EQ(Body(lf, &bookmarks), Body(crlf));
    EXPECT_EQ(bookmarks, 2);
}

TEST(BookmarkHtml, ProgressStepsOncePerBookmarkOnly) {
    int steps = 0;
    const auto result = ConvertHotlistText(Join({kHeader, "#FOLDER\r\n\tNAME=f", "#URL\r\n\tURL=a",
                                                 "#SEPERATOR", "#URL\r\n\tURL=b", "-"}),
                                           [&] { ++steps; });
    ASSERT_TRUE(result);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(result->bookmarks, 2);
}

TEST(HotlistVersion, OtherVersionsStopWithoutWriting) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    PutBytes(out, "existing output");
    PutBytes(folder.File("v3.adr"), Join({"Opera Hotlist version 3.0", "#URL\r\n\tURL=a"}));
    std::string shown;
    int shown_count = 0;
    EXPECT_EQ(ConvertOperaBookmarks(folder.File("v3.adr"), out, {},
                                    [&](std::string_view m) {
                                        shown = m;
                                        ++shown_count;
                                    }),
              -1);
    EXPECT_EQ(shown, "Opera Hotlist File Version unknown - can not continue ...");
    EXPECT_EQ(shown_count, 1);
    EXPECT_EQ(GetBytes(out), "existing output");

    EXPECT_EQ(ConvertOperaBookmarks(folder.File("v3.adr"), folder.File("new.htm")), -1);
    EXPECT_FALSE(PathExists(folder.File("new.htm")));
}

TEST(HotlistVersion, IsCheckedOnEveryEntryAfterEarlierSteps) {
    int steps = 0;
    const auto result = ConvertHotlistText(
        Join({kHeader, "#URL\r\n\tURL=a", "#URL\r\n\tNAME=Opera Hotlist version 1.0 notes"}),
        [&] { ++steps; });
    EXPECT_FALSE(result);
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(ConvertHotlistText("#URL\r\n\tNAME=about Opera Hotlist version 2.0 files"));
    int bookmarks = -1;
    Body("#URL\r\n\tURL=a", &bookmarks);  // no version line at all
    EXPECT_EQ(bookmarks, 1);
}

TEST(ConvertOperaBookmarks, FileErrorsPropagateAndKeepTheOutput) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    PutBytes(out, "keep");
    EXPECT_THROW(ConvertOperaBookmarks(folder.path().string(), out), EFOpenError);
    EXPECT_EQ(GetBytes(out), "keep");
    PutBytes(folder.File("h.adr"), "#URL\r\n\tURL=a");
    EXPECT_THROW(ConvertOperaBookmarks(folder.File("h.adr"), folder.path().string()),
                 EFCreateError);
}

}  // namespace
}  // namespace quarvo
