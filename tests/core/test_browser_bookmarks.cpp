// SPDX-License-Identifier: MIT
// The browser flavour of the bookmark file, its report, and the choice of
// flavour in a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/browser_html_writer.h"
#include "formats/chromium_bookmarks_writer.h"
#include "formats/firefox_backup_writer.h"
#include "json_shape.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"
#include "text/text_encoding.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

// The hand-made hotlist that the real browsers import too, every feature at
// once: a folder with a description and an old-style date, a bookmark whose
// name looks like a version line and whose URL ends in a marker, keyword,
// personal bar out of order, a separator before a folder end without blank
// line, the trash, blank-indented keys, a date that is no number, CR line
// ends, and a folder left open by a last entry without a blank line after it.
std::string EveryFeature() {
    return ReadWholeFile(QUARVO_BROWSER_TEST_DIR "/every_feature.adr");
}

constexpr std::string_view kEveryFeatureHtml =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "     It will be read and overwritten.\r\n"
    "     DO NOT EDIT! -->\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "<TITLE>Bookmarks</TITLE>\r\n"
    "<H1>Bookmarks</H1>\r\n"
    "<DL><p>\r\n"
    "    <DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">Personal bar</H3>\r\n"
    "    <DL><p>\r\n"
    "        <DT><A HREF=\"http://first/\">bar first</A>\r\n"
    "        <DT><A HREF=\"http://h/a?b=1&amp;c=&quot;2&quot;#FOLDER\" ADD_DATE=\"1000\" "
    "LAST_VISIT=\"2000\" LAST_MODIFIED=\"1000\" SHORTCUTURL=\"kw\">Opera Hotlist version 1.0 "
    "notes</A>\r\n"
    "    </DL><p>\r\n"
    "    <DT><H3 ADD_DATE=\"904923783\" LAST_MODIFIED=\"904923783\">Work &amp; "
    "&lt;Play&gt;</H3>\r\n"
    "    <DD>two\r\nlines\r\n"
    "    <DL><p>\r\n"
    "        <DT><A HREF=\"http://h/a?b=1&amp;c=&quot;2&quot;#FOLDER\" ADD_DATE=\"1000\" "
    "LAST_VISIT=\"2000\" LAST_MODIFIED=\"1000\" SHORTCUTURL=\"kw\">Opera Hotlist version 1.0 "
    "notes</A>\r\n"
    "        <HR>\r\n"
    "    </DL><p>\r\n"
    "    <DT><A HREF=\"http://first/\">bar first</A>\r\n"
    "    <DT><H3>open</H3>\r\n"
    "    <DL><p>\r\n"
    "        <DT><A HREF=\"http://last/\">last</A>\r\n"
    "    </DL><p>\r\n"
    "</DL><p>\r\n";

TEST(BrowserBookmarks, WritesEveryFeatureAsTheBrowsersImportIt) {
    ConversionReport report;
    int steps = 0;
    const auto converted =
        ConvertHotlistTextForBrowsers(EveryFeature(), false, report, [&] { ++steps; });
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->html, kEveryFeatureHtml);
    EXPECT_EQ(converted->bookmarks, 3);
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(report.Text("Report:"),
              "Report:\nfolders: 2\nbookmarks: 3\nseparators: 1\ndescriptions: 1\nkeywords: 1\n"
              "personal-bar items (copied to the toolbar folder): 2\ntrash items left out: 1\n"
              "Warning: dates that are not numbers (1 time): \"bar first\"\n");

    // Kept, the trash is a folder like any other; its items stay off the bar.
    ConversionReport kept_report;
    const auto kept = ConvertHotlistTextForBrowsers(EveryFeature(), true, kept_report);
    ASSERT_TRUE(kept);
    EXPECT_NE(kept->html.find("    <DT><H3>Trash</H3>\r\n    <DL><p>\r\n"
                              "        <DT><A HREF=\"http://gone/\">deleted</A>\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(kept->html.begin(), kept->html.end(), '\n'),
              std::count(kEveryFeatureHtml.begin(), kEveryFeatureHtml.end(), '\n') + 4);
    EXPECT_EQ(kept->bookmarks, 4);
    EXPECT_EQ(kept_report.CountOf("trash items left out"), 0);
}

TEST(BrowserBookmarks, MakesTextsUtf8AndNamesWhatLooksWrong) {
    struct Case {
        const char* name;
        std::string hotlist;
        std::string title;     // as written
        std::string warnings;  // the report's warning lines
    } cases[] = {
        {"an 8-bit file by its Options line",
         "Opera Hotlist version 2.0\nOptions: encoding = iso-8859-1, version=3\n\n"
         "#URL\n\tNAME=Caf\xE9 \x80\n\tURL=http://x/\x81\n",
         "Caf\xC3\xA9 \xE2\x82\xAC",
         "Warning: bytes not valid in the file's encoding (1 time): \"Caf\xC3\xA9 "
         "\xE2\x82\xAC\"\n"},
        {"UTF-8 kept as it is", "#URL\n\tNAME=Caf\xC3\xA9\n\tURL=http://x/\n", "Caf\xC3\xA9", ""},
        {"a value not valid in a UTF-8 file",
         "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"
         "#URL\n\tNAME=Caf\xE9\n\tURL=http://x/\n\n#URL\n\tNAME=again\n\tURL=http://x/\n",
         "Caf\xC3\xA9",
         "Warning: bytes not valid in the file's encoding (1 time): \"Caf\xC3\xA9\"\n"
         "Warning: URLs met more than once (1 time): \"http://x/\"\n"},
        {"the reader's warnings before the writer's, met in any order",
         "#URL\n\tNAME=a\n\tURL=http://x/\n\n#URL\n\tNAME=b\n\tURL=http://x/\n\n"
         "#URL\n\tNAME=Caf\xE9\n\tURL=http://y/\n",
         "Caf\xC3\xA9",
         "Warning: bytes not valid in the file's encoding (1 time): \"Caf\xC3\xA9\"\n"
         "Warning: URLs met more than once (1 time): \"http://x/\"\n"},
        {"a URL no browser keeps", "#URL\n\tNAME=rel\n\tURL=programming\n", "rel",
         "Warning: bookmarks whose URL has no scheme (\"http:\"), which browsers leave out "
         "(1 time): \"rel\"\n"},
    };
    for (const Case& c : cases) {
        ConversionReport report;
        const auto converted = ConvertHotlistTextForBrowsers(c.hotlist, false, report);
        ASSERT_TRUE(converted) << c.name;
        EXPECT_NE(converted->html.find('>' + c.title + "</A>"), std::string::npos) << c.name;
        EXPECT_TRUE(formats::IsValidUtf8(converted->html)) << c.name;
        const std::string text = report.Text("");
        const std::size_t warnings = text.find("Warning:");
        EXPECT_EQ(warnings == std::string::npos ? "" : text.substr(warnings), c.warnings) << c.name;
    }
}

// What the README promises: a date from the digits CREATED and VISITED
// start with, whatever follows them; only Opera's 0x02 0x02 pairs are line
// breaks, a lone 0x02 is kept as the one byte it is.
TEST(BrowserBookmarks, TakesLeadingDigitsAsDatesAndOnlyPairsAsBreaks) {
    struct Case {
        std::string keys;
        std::string html;  // the bookmark's lines as written
    } cases[] = {
        {"\tCREATED=1150000000x\n\tVISITED=1150000001,\n",
         "<DT><A HREF=\"http://h/\" ADD_DATE=\"1150000000\" LAST_VISIT=\"1150000001\" "
         "LAST_MODIFIED=\"1150000000\">n</A>\r\n"},
        {"\tCREATED=1150000000 (Mon)\n", "ADD_DATE=\"1150000000\" LAST_MODIFIED=\"1150000000\">"},
        {"\tCREATED=x1150000000\n\tVISITED=1234567890123456789\n", "<A HREF=\"http://h/\">n</A>"},
        {"\tNAME=a\x02\x02"
         "b\x02"
         "c\x02\x02\x02"
         "d\n",
         ">a b\x02"
         "c \x02"
         "d</A>"},
        {"\tURL=http://h/p\x02q\x02\x02r\n", "HREF=\"http://h/p%02q%02%02r\""},
        {"\tDESCRIPTION=x\x02y\x02\x02z\n", "<DD>x\x02y\r\nz\r\n"},
    };
    for (const Case& c : cases) {
        // The first line of a key wins, so the case's keys come first.
        const std::string hotlist = "#URL\n" + c.keys + "\tNAME=n\n\tURL=http://h/\n";
        ConversionReport report;
        const auto converted = ConvertHotlistTextForBrowsers(hotlist, false, report);
        ASSERT_TRUE(converted);
        EXPECT_NE(converted->html.find(c.html), std::string::npos)
            << ::testing::PrintToString(c.keys) << converted->html;
    }
    // Chromium keeps a last visit; Opera's VISITED=0 is a page never visited.
    ConversionReport report;
    const auto chromium = ConvertHotlistTextFor(
        "#URL\n\tNAME=n\n\tURL=http://h/\n\tVISITED=0\n\n#URL\n\tNAME=m\n\tURL=http://m/\n"
        "\tVISITED=1\n",
        BookmarkFlavour::kChromium, false, report);
    ASSERT_TRUE(chromium);
    const std::size_t visit = chromium->html.find("date_last_used");
    EXPECT_NE(visit, std::string::npos);
    EXPECT_EQ(visit, chromium->html.rfind("date_last_used")) << chromium->html;
}

TEST(ConversionReportText, CountsEveryTimeButNamesAFewShortPlaces) {
    ConversionReport report;
    std::string long_name = "x";
    for (int i = 0; i < 50; ++i) long_name += "\xC3\xA9";  // byte 80 is inside a letter
    for (int i = 0; i < 7; ++i) report.Warn("odd", i == 0 ? long_name : "p" + std::to_string(i));
    const std::string text = report.Text("T");
    EXPECT_EQ(text.substr(text.find('(')), "(7 times): \"" + long_name.substr(0, 79) +
                                               "...\", \"p1\", \"p2\", \"p3\", \"p4\", ...\n");

    // A report added after another counts on and names places up to the same five.
    ConversionReport first;
    first.Warn("odd", "p0", 2);
    first.Warn("other");
    ConversionReport later;
    later.Warn("odd", "q0");
    later.Warn("odd", "q1");
    later.Warn("new", "n");
    later.Count("things", 3);
    first.Append(later);
    first.Append(report);
    EXPECT_EQ(first.Text("T"), "T\nthings: 3\nWarning: odd (11 times): \"p0\", \"q0\", \"q1\", \"" +
                                   long_name.substr(0, 79) +
                                   "...\", \"p1\", ...\n"
                                   "Warning: other (1 time)\nWarning: new (1 time): \"n\"\n");

    // Many times in one place: counted all, the place named once, none left out.
    ConversionReport many;
    many.Warn("controls", "Smith", 3);
    many.Warn("controls", "Jones", 2);
    EXPECT_EQ(many.Text("T"), "T\nWarning: controls (5 times): \"Smith\", \"Jones\"\n");
}

TEST(BrowserBookmarks, NestsAsDeepAsTheHotlistWithoutRunningOutOfStack) {
    std::string hotlist;
    for (int i = 0; i < 200000; ++i) hotlist += "#FOLDER\n";
    hotlist += "#URL\n\tURL=http://deep/\n";
    ConversionReport report;
    const auto converted = ConvertHotlistTextForBrowsers(hotlist, false, report);
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->bookmarks, 1);
    ConversionReport explorer;
    ReportInternetExplorerConversion(hotlist, 1, explorer);
    EXPECT_EQ(explorer.CountOf("bookmarks"), 1);
    // Indented as deep as the cap, no deeper: the file grows with the
    // input, not with the square of its nesting.
    const std::string deepest(formats::kDeepestIndent * 4, ' ');
    EXPECT_NE(converted->html.find("\n" + deepest + "<DT><A HREF=\"http://deep/\""),
              std::string::npos);
    EXPECT_EQ(converted->html.find(deepest + ' '), std::string::npos);
    EXPECT_LT(converted->html.size(), 200000 * (15 + 9 + 10 + 3 * deepest.size() + 2));
    // The JSON files too: every folder closed, the layout's indentation capped.
    for (const BookmarkFlavour flavour :
         {BookmarkFlavour::kFirefoxBackup, BookmarkFlavour::kChromium}) {
        ConversionReport json_report;
        const auto json = ConvertHotlistTextFor(hotlist, flavour, false, json_report);
        ASSERT_TRUE(json);
        EXPECT_EQ(json->bookmarks, 1);
        EXPECT_EQ(json_report.CountOf(formats::kFoldersCount), 200000);
        EXPECT_TRUE(testing::IsWellFormedJson(json->html));
        // At most ten lines a folder, each indented 32 blanks at most.
        EXPECT_LT(json->html.size(), std::size_t{200000} * 10 * (32 + 40));
    }
}

// The personal bar's copies come first but are read again from where each
// entry stands: a folder with all it holds (its trash left out), in the
// bar's order, nothing from the trash, a folder the file leaves open closed.
TEST(BrowserBookmarks, CopiesThePersonalBarFromAcrossTheFile) {
    const std::string hotlist =
        "Opera Hotlist version 2.0\n\n"
        "#URL\n\tNAME=top\n\tURL=http://top/\n\tON PERSONALBAR=YES\n\tPERSONALBAR_POS=2\n\n"
        "#FOLDER\n\tNAME=bar folder\n\tON PERSONALBAR=YES\n\tPERSONALBAR_POS=1\n\n"
        "#URL\n\tNAME=inner\n\tURL=http://inner/\n\tON PERSONALBAR=YES\n\n"
        "#FOLDER\n\tNAME=bin\n\tTRASH FOLDER=YES\n\n"
        "#URL\n\tNAME=gone\n\tURL=http://gone/\n\tON PERSONALBAR=YES\n\n-\n"
        "#URL\n\tNAME=binned\n\tURL=http://b/\n\tTRASH FOLDER=YES\n\tON PERSONALBAR=YES\n\n-\n"
        "#FOLDER\n\tNAME=open\n\tON PERSONALBAR=YES\n\n"
        "#URL\n\tNAME=last\n\tURL=http://last/\n";
    ConversionReport report;
    const auto converted = ConvertHotlistTextForBrowsers(hotlist, false, report);
    ASSERT_TRUE(converted);
    const std::string_view html = converted->html;
    const std::size_t bar = html.find("    <DT><H3 PERSONAL_TOOLBAR_FOLDER");
    ASSERT_NE(bar, std::string_view::npos);
    EXPECT_EQ(html.substr(bar, html.find("\n    <DT><A HREF=\"http://top/") + 1 - bar),
              "    <DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">Personal bar</H3>\r\n"
              "    <DL><p>\r\n"
              "        <DT><H3>bar folder</H3>\r\n"
              "        <DL><p>\r\n"
              "            <DT><A HREF=\"http://inner/\">inner</A>\r\n"
              "        </DL><p>\r\n"
              "        <DT><A HREF=\"http://top/\">top</A>\r\n"
              "        <DT><A HREF=\"http://inner/\">inner</A>\r\n"
              "        <DT><H3>open</H3>\r\n"
              "        <DL><p>\r\n"
              "            <DT><A HREF=\"http://last/\">last</A>\r\n"
              "        </DL><p>\r\n"
              "    </DL><p>\r\n");
    EXPECT_EQ(converted->bookmarks, 3);
    EXPECT_EQ(report.CountOf(formats::kPersonalBarCount), 4);
    EXPECT_EQ(report.CountOf(formats::kFoldersCount), 2) << "copies are not counted";
    EXPECT_EQ(report.CountOf(formats::kTrashLeftOutCount), 1);
}

// A giant value is escaped into the file as it is written, a block at a
// time, never whole in memory beside the input.
TEST(BrowserBookmarks, EachWriterHandsAGiantValueOnInBlocks) {
    const std::size_t quotes = std::size_t{3} << 20;
    const std::string hotlist = "#URL\n\tNAME=" + std::string(quotes, '"') + "\n\tURL=http://x/\n";
    struct Pieces final : formats::TextSink {
        void Write(std::string_view piece) override {
            largest = std::max(largest, piece.size());
            text += piece;
        }
        std::size_t largest = 0;
        std::string text;
    };
    const struct {
        BookmarkFlavour flavour;
        std::string_view quote;
    } cases[] = {{BookmarkFlavour::kBrowser, "&quot;"},
                 {BookmarkFlavour::kFirefoxBackup, "\\\""},
                 {BookmarkFlavour::kChromium, "\\\""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flavour));
        Pieces sink;
        std::unique_ptr<formats::BookmarkWriter> writer;
        if (c.flavour == BookmarkFlavour::kBrowser)
            writer = std::make_unique<formats::BrowserHtmlWriter>(sink, false, nullptr,
                                                                  ProgressSink{}, hotlist);
        else if (c.flavour == BookmarkFlavour::kFirefoxBackup)
            writer = std::make_unique<formats::FirefoxBackupWriter>(sink, false, nullptr,
                                                                    ProgressSink{}, hotlist);
        else
            writer = std::make_unique<formats::ChromiumBookmarksWriter>(sink, false, nullptr,
                                                                        ProgressSink{}, hotlist);
        model::BookmarkFields item;
        item.name = std::string_view(hotlist).substr(11, quotes);
        item.url = "http://x/";
        writer->Item(item, 1);
        EXPECT_EQ(writer->Finish(), 1);
        EXPECT_LE(sink.largest, (std::size_t{1} << 20) + 64);
        ConversionReport report;
        EXPECT_EQ(sink.text, ConvertHotlistTextFor(hotlist, c.flavour, false, report)->html);
        std::string escaped;
        for (std::size_t i = 0; i < quotes; ++i) escaped += c.quote;
        EXPECT_NE(sink.text.find(escaped), std::string::npos);
    }
}

TEST(BrowserBookmarks, RefusesOnlyAnotherVersionOnTheFirstLine) {
    ConversionReport report;
    EXPECT_FALSE(
        ConvertHotlistTextForBrowsers("Opera Hotlist version 1.0\n\n#URL\n", false, report));
    const auto with_mark = ConvertHotlistTextForBrowsers(
        "\xEF\xBB\xBFOpera Hotlist version 3.0\r\n\r\n#URL\r\n\tNAME=a\r\n", false, report);
    EXPECT_FALSE(with_mark) << "a byte order mark hides no version";
}

TEST(BrowserBookmarks, ARunTakesTheChosenFlavourAndLeavesTheDefaultAsItWas) {
    TempFolder folder;
    const std::string hotlist = folder.File("opera6.adr");
    // The default flavour takes a name holding a version for a version line.
    std::string text = EveryFeature();
    text.replace(text.find("Opera Hotlist version 1.0 notes"), 31, "notes");
    PutBytes(hotlist, text);
    const ConversionJob job{hotlist, folder.File("out.htm")};

    ConvertOperaBookmarks(hotlist, folder.File("plain.htm"));
    ConversionReport report;
    EXPECT_EQ(RunBookmarksConversion(job, BookmarkOptions{}, &report).count, 4);
    EXPECT_EQ(GetBytes(job.output), GetBytes(folder.File("plain.htm")));
    EXPECT_EQ(report.CountOf("bookmarks"), 4);
    EXPECT_EQ(report.CountOf("trash items written as ordinary ones"), 1);

    const BookmarkOptions browser{BookmarkFlavour::kBrowser, false};
    ConversionReport browser_report;
    EXPECT_EQ(RunBookmarksConversion(job, browser, &browser_report).count, 3);
    ConversionReport unused;
    const std::string html = ConvertHotlistTextForBrowsers(text, false, unused)->html;
    EXPECT_EQ(GetBytes(job.output), html);

    PutBytes(hotlist, "Opera Hotlist version 9.0\r\n\r\n#URL\r\n");
    std::string shown;
    const auto show = [&](std::string_view message) { shown = message; };
    EXPECT_EQ(RunBookmarksConversion(job, browser, nullptr, {}, show).count,
              kUnsupportedHotlistVersion);
    EXPECT_EQ(shown, kUnknownVersionMessage);
    EXPECT_EQ(GetBytes(job.output), html) << "a refused hotlist writes nothing";
}

// The hand-made hotlist with every case, and its Speed Dial, sessions and
// search engines: each browser's own file as its golden file, and what the
// file cannot hold counted.
TEST(BrowserJsonFiles, EveryCaseAsItsGoldenFileWithWhatCannotBeHeldCounted) {
    const std::string data = QUARVO_TEST_DATA_DIR;
    BookmarkOptions options;
    options.links = {data + "/bookmarks_every_case/speeddial.ini",
                     data + "/bookmarks_every_case/sessions",
                     data + "/bookmarks_every_case/search.ini"};
    const struct {
        BookmarkFlavour flavour;
        const char* golden;
        std::vector<std::pair<std::string_view, std::int64_t>> counts;
    } cases[] = {
        {BookmarkFlavour::kFirefoxBackup,
         "bookmarks_every_case.json",
         {{formats::kSeparatorsCount, 1},
          {formats::kKeywordsCount, 2},
          {formats::kFirefoxDescriptionsLeftOut, 1}}},
        {BookmarkFlavour::kChromium,
         "bookmarks_every_case.Bookmarks",
         {{formats::kChromiumSeparatorsLeftOut, 1},
          {formats::kChromiumKeywordsLeftOut, 2},
          {formats::kChromiumDescriptionsLeftOut, 1}}},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        options.flavour = c.flavour;
        const ConversionJob job{data + "/bookmarks_every_case.adr", folder.File(c.golden)};
        ConversionReport report;
        EXPECT_EQ(RunBookmarksConversion(job, options, &report).count, 8);
        const std::string written = GetBytes(job.output);
        EXPECT_EQ(written, GetBytes(data + "/golden/" + c.golden));
        EXPECT_TRUE(testing::IsWellFormedJson(written));
        EXPECT_EQ(report.CountOf(formats::kFoldersCount), 9);
        EXPECT_EQ(report.CountOf(formats::kPersonalBarCount), 2);
        EXPECT_EQ(report.CountOf(formats::kTrashLeftOutCount), 1);
        EXPECT_EQ(report.CountOf("speed dials"), 2);
        for (const auto& [label, n] : c.counts) EXPECT_EQ(report.CountOf(label), n) << label;
    }
}

// Firefox ties a keyword to one URL and a URL to one keyword: its backup's
// report warns of both; Chromium's file, which holds no keyword, of neither.
TEST(BrowserJsonFiles, KeywordsFirefoxCannotKeepAreWarnedOf) {
    const std::string hotlist =
        "#URL\n\tNAME=a\n\tURL=http://a/\n\tSHORT NAME=k\n\n"
        "#URL\n\tNAME=b\n\tURL=http://b/\n\tSHORT NAME=k\n\n"
        "#URL\n\tNAME=a again\n\tURL=http://a/\n\tSHORT NAME=other\n";
    for (const auto& [flavour, warned] : {std::pair{BookmarkFlavour::kFirefoxBackup, true},
                                          std::pair{BookmarkFlavour::kChromium, false}}) {
        ConversionReport report;
        ASSERT_TRUE(ConvertHotlistTextFor(hotlist, flavour, false, report));
        const std::string text = report.Text("");
        EXPECT_EQ(text.find(formats::kSharedKeywordWarning) != std::string::npos, warned) << text;
        EXPECT_EQ(text.find(formats::kUrlKeywordsWarning) != std::string::npos, warned) << text;
    }
}

TEST(BrowserBookmarks, EveryCorpusBookmarkArrivesInBalancedUtf8) {
    namespace fs = std::filesystem;
    std::error_code error;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(QUARVO_CORPUS_DIR, error)) {
        if (entry.path().extension() != ".adr") continue;
        const std::string hotlist = ReadWholeFile(entry.path().string());
        if (hotlist.find("#URL") == std::string::npos) continue;  // contacts, notes
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        // Counted here apart from the reader: every line that is "#URL" and
        // nothing else but its indentation.
        int markers = 0;
        for (std::size_t at = 0; (at = hotlist.find("#URL", at)) != std::string::npos; at += 4) {
            const std::size_t start = hotlist.find_last_of("\r\n", at);
            const std::size_t end = hotlist.find_first_of("\r\n", at);
            const std::string line =
                hotlist.substr(start == std::string::npos ? 0 : start + 1,
                               (end == std::string::npos ? hotlist.size() : end) -
                                   (start == std::string::npos ? 0 : start + 1));
            if (line.find_first_not_of(" \t") == line.find("#URL") && line.ends_with("#URL"))
                ++markers;
        }
        ConversionReport report;
        const auto kept = ConvertHotlistTextForBrowsers(hotlist, true, report);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->bookmarks, markers);
        EXPECT_TRUE(formats::IsValidUtf8(kept->html));
        const auto count = [&](std::string_view tag) {
            int n = 0;
            for (std::size_t at = 0; (at = kept->html.find(tag, at)) != std::string::npos; ++at)
                ++n;
            return n;
        };
        EXPECT_EQ(count("<DL><p>"), count("</DL><p>"));
        // The browsers' own files hold the same bookmarks, as JSON.
        for (const BookmarkFlavour flavour :
             {BookmarkFlavour::kFirefoxBackup, BookmarkFlavour::kChromium}) {
            ConversionReport json_report;
            const auto json = ConvertHotlistTextFor(hotlist, flavour, true, json_report);
            ASSERT_TRUE(json);
            EXPECT_EQ(json->bookmarks, markers);
            EXPECT_EQ(json_report.CountOf(formats::kFoldersCount), report.CountOf("folders"));
            EXPECT_TRUE(formats::IsValidUtf8(json->html));
            EXPECT_TRUE(testing::IsWellFormedJson(json->html));
        }
    }
    if (files == 0) GTEST_SKIP() << "no corpus at " << QUARVO_CORPUS_DIR;
}

}  // namespace
}  // namespace quarvo
