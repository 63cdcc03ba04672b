// SPDX-License-Identifier: MIT
// The Speed Dial, saved sessions and search engines read into folders of
// the bookmark tree: hand-made files holding the risky cases, and the real
// files of the profile corpus with every dial, tab and engine accounted
// for (written + left out = total).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "formats/opera_link_files.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using model::BookmarkItem;

// The tree below `folder`, an item a line: folders as "name/", indented by
// depth, bookmarks as "name <url> [keyword]".
std::string Outline(const BookmarkItem& folder) {
    std::string out;
    model::ForEachItem(folder, [&](const BookmarkItem& item, std::size_t depth) {
        out += std::string(2 * (depth - 1), ' ');
        if (item.kind == BookmarkItem::Kind::kFolder)
            out += item.name + "/\n";
        else
            out += item.name + " <" + item.url + ">" +
                   (item.short_name.empty() ? "" : " [" + item.short_name + "]") + "\n";
        return true;
    });
    return out;
}

constexpr std::string_view kPrefsHeader = "Opera Preferences version 2.1\n";

TEST(SpeedDial, DialsInNumberOrderNamedByTheUsersTitle) {
    const std::string text = "\xEF\xBB\xBF" + std::string(kPrefsHeader) +
                             "[Deleted Items]\nopera-portal\n\n"
                             "[Background]\nEnabled=1\n\n"
                             "[Speed Dial 10]\nTitle=Ten\nUrl=http://ten.example/\n"
                             "[Speed Dial 2]\nTitle=Page title\nCustom Title=1\nUrl=http://b/\n"
                             "[Speed Dial 9]\nTitle=Page\nCustom Title=Mine\nUrl=http://nine/\n"
                             "[Speed Dial 4]\nTitle=\nUrl=http://untitled/\n"
                             "[Speed Dial 5]\nTitle=Ext\nUrl=http://x/\nExtension ID=wuid-1\n"
                             "[Speed Dial 6]\nTitle=Empty\nUrl=\n"
                             "[Speed Dial 7]\nTitle=Caf\xE9\nUrl=http://cafe/\n";
    ConversionReport report;
    const BookmarkItem folder = formats::ReadSpeedDial(text, report);
    EXPECT_EQ(folder.name, "Speed Dial");
    EXPECT_EQ(Outline(folder),
              "Page title <http://b/>\n"
              "http://untitled/ <http://untitled/>\n"
              "Caf\xC3\xA9 <http://cafe/>\n"
              "Mine <http://nine/>\n"
              "Ten <http://ten.example/>\n");
    EXPECT_EQ(report.CountOf(formats::kDialsCount), 5);
    EXPECT_EQ(report.CountOf(formats::kExtensionDialsCount), 1);
    EXPECT_EQ(report.CountOf(formats::kEmptyDialsCount), 1);
    ASSERT_EQ(report.warnings().size(), 1u);
    EXPECT_EQ(report.warnings()[0].what, formats::kLinkNotUtf8Warning);
}

TEST(SearchEngines, EnginesAsKeywordBookmarksWithWhatCannotBeLeftOut) {
    const std::string text =
        std::string(kPrefsHeader) +
        "[Version]\nFile Version=8\n\n"
        "[Options]\nDefault Search=2\n\n"
        "[Search Engine 1]\nName=&Wiki && More\nURL=http://w/?s=%s&t=a\xEF\xB7\x90"
        "2F\nKey=w\n"
        "Is post=0\nEncoding=utf-8\nDeleted=0\n"
        "[Search Engine 2]\nName=\nURL=http://www.google.com/search?q=%s&"
        "num=%i&ie=utf-8\nKey=g\nEncoding=UTF-8\n"
        "[Search Engine 3]\nName=Gone\nURL=http://gone/%s\nDeleted=1\n"
        "[Search Engine 4]\nName=Form\nURL=http://post/\nQuery=q=%s\n"
        "Is post=1\n"
        "[Search Engine 5]\nName=History\nURL=\nKey=h\n"
        "[Search Engine 6]\nName=Latin\nURL=http://l/?q=%s&n=%i\nKey=l\n"
        "Encoding=iso-8859-1\n"
        "[Search Engine 7]\nName=Page\nURL=http://page/\n"
        "[Search Engine 8]\nName=&\nURL=?n=%i\n";
    ConversionReport report;
    const BookmarkItem folder = formats::ReadSearchEngines(text, report);
    EXPECT_EQ(folder.name, "Search engines");
    EXPECT_EQ(Outline(folder),
              "Wiki & More <http://w/?s=%s&t=a%2F> [w]\n"
              "www.google.com <http://www.google.com/search?q=%s&ie=utf-8> [g]\n"
              "Latin <http://l/?q=%s> [l]\n"
              "Page <http://page/>\n"
              "?n=%i <?n=%i>\n");
    EXPECT_EQ(report.CountOf(formats::kEnginesCount), 5);
    EXPECT_EQ(report.CountOf(formats::kDeletedEnginesCount), 1);
    EXPECT_EQ(report.CountOf(formats::kPostEnginesCount), 1);
    EXPECT_EQ(report.CountOf(formats::kNoUrlEnginesCount), 1);
    ASSERT_EQ(report.warnings().size(), 2u);
    EXPECT_EQ(report.warnings()[0].what, formats::kOtherEncodingWarning);
    EXPECT_EQ(report.warnings()[0].places.at(0), "Latin (iso-8859-1)");
    EXPECT_EQ(report.warnings()[1].what, formats::kNoTermWarning);
}

TEST(SearchEngines, MenuMarks) {
    const struct {
        std::string_view name, expected;
    } cases[] = {{"&Google", "Google"},
                 {"A && B", "A & B"},
                 {"&&&x", "&x"},
                 {"trailing&", "trailing"},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(formats::WithoutMenuMarks(c.name), c.expected) << c.name;
}

// Without the history choice a tab is its current page; with it, a tab
// that has been elsewhere is a folder of its history in order, Opera's own
// pages and empty entries left out, a tab with no other page still a
// bookmark.
TEST(Sessions, WindowsHoldTheirTabsPages) {
    const std::string text = std::string(kPrefsHeader) +
                             "[session]\nversion=7000\nwindow count=4\n\n"
                             "[1]\nid=10\ntype=0\n"
                             "[2]\nid=11\nparent=10\ntype=1\ncurrent history=3\n"
                             "[2history url]\ncount=5\n0=http://back/\n1=opera:speeddial\n"
                             "2=http://now/\n3=http://forward/\n4=\n"
                             "[2history title]\ncount=5\n0=Back\n1=Speed Dial\n2=Now\n"
                             "[3]\nid=12\nparent=10\ntype=1\ncurrent history=1\n"
                             "[3history url]\ncount=2\n0=opera:speeddial\n1=http://later/\n"
                             "[4]\nid=13\nparent=10\ntype=1\ncurrent history=1\n"
                             "[4history url]\ncount=0\n"
                             "[5]\nid=20\ntype=0\n"
                             "[6]\nid=21\nparent=20\ntype=1\ncurrent history=2\n"
                             "[6history url]\ncount=2\n0=opera:speeddial\n1=http://untitled/\n"
                             // a damaged count that leaves the current page out
                             "[7]\nid=31\nparent=99\ntype=1\ncurrent history=2\n"
                             "[7history url]\ncount=1\n0=http://old/\n1=http://orphan/\n"
                             "[7history title]\ncount=1\n1=Orphan\n";
    const struct {
        bool history;
        std::string_view outline;
        std::int64_t history_pages;
    } cases[] = {{false,
                  "Window 1/\n"
                  "  Now <http://now/>\n"
                  "Window 2/\n"
                  "  http://untitled/ <http://untitled/>\n"
                  "Window 3/\n"
                  "  Orphan <http://orphan/>\n",
                  0},
                 {true,
                  "Window 1/\n"
                  "  Now/\n"
                  "    Back <http://back/>\n"
                  "    Now <http://now/>\n"
                  "    http://forward/ <http://forward/>\n"
                  "Window 2/\n"
                  "  http://untitled/ <http://untitled/>\n"
                  "Window 3/\n"
                  "  Orphan/\n"
                  "    http://old/ <http://old/>\n"
                  "    Orphan <http://orphan/>\n",
                  3}};
    for (const auto& c : cases) {
        ConversionReport report;
        const BookmarkItem session = formats::ReadSession(text, "Last session", report, c.history);
        EXPECT_EQ(session.name, "Last session");
        EXPECT_EQ(Outline(session), c.outline) << c.history;
        EXPECT_EQ(report.CountOf(formats::kSessionWindowsCount), 3);
        EXPECT_EQ(report.CountOf(formats::kTabsCount), 3);
        EXPECT_EQ(report.CountOf(formats::kOperaPageTabsCount), 1);
        EXPECT_EQ(report.CountOf(formats::kEmptyTabsCount), 1);
        EXPECT_EQ(report.CountOf(formats::kSessionHistoryCount), c.history_pages);
        // Without the choice the report stays as it was, the label absent.
        EXPECT_EQ(report.Text("r").find(formats::kSessionHistoryCount) != std::string::npos,
                  c.history);
    }
    EXPECT_EQ(formats::SessionName("autosave.win"), "Last session");
    EXPECT_EQ(formats::SessionName("mit sicp.win"), "mit sicp");
    EXPECT_EQ(formats::SessionName("plain"), "plain");
}

// The folders after the hotlist's own, sessions from a folder with the
// last session first; a link file that cannot be read, or an output that
// is one, leaves the old output as it was.
TEST(LinkFolders, WrittenAfterTheHotlistAndCheckedAsInputs) {
    testing::TempFolder folder;
    const std::string hotlist = folder.File("hotlist.adr");
    testing::PutBytes(hotlist,
                      "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"
                      "#URL\n\tNAME=Own\n\tURL=http://own/\n\n");
    const std::string dial = folder.File("speeddial.ini");
    testing::PutBytes(dial, std::string(kPrefsHeader) + "[Speed Dial 1]\nTitle=D\nUrl=http://d/\n");
    const std::string search = folder.File("search.ini");
    testing::PutBytes(search, std::string(kPrefsHeader) +
                                  "[Search Engine 1]\nName=S\nURL=http://s/?q=%s\nKey=k\n");
    fs::create_directory(folder.File("sessions"));
    const std::string session = std::string(kPrefsHeader) +
                                "[1]\nid=1\ntype=0\n[2]\nparent=1\ntype=1\ncurrent history=1\n"
                                "[2history url]\n0=http://tab/\n";
    testing::PutBytes(folder.File("sessions/a.win"), session);
    testing::PutBytes(folder.File("sessions/autosave.win"), session);
    testing::PutBytes(folder.File("sessions/notes.txt"), "not a session");

    const LinkSources links{dial, folder.File("sessions"), search};
    const LinkSources beside = LinkSourcesBeside(hotlist);
    EXPECT_EQ(beside.speed_dial, dial);
    EXPECT_EQ(beside.sessions, folder.File("sessions") + kPathSeparator);
    EXPECT_EQ(beside.search_engines, search);
    testing::TempFolder lone;
    testing::PutBytes(lone.File("opera6.adr"), "Opera Hotlist version 2.0\n");
    EXPECT_TRUE(LinkSourcesBeside(lone.File("opera6.adr")).empty());
    EXPECT_TRUE(LinkSourcesBeside(lone.File("absent/opera6.adr")).empty());
    EXPECT_EQ(SavedSessionFiles(links.sessions),
              (std::vector<std::string>{folder.File("sessions") + kPathSeparator + "autosave.win",
                                        folder.File("sessions") + kPathSeparator + "a.win"}));
    const std::string output = folder.File("out.htm");
    ConversionReport report;
    EXPECT_EQ(ConvertOperaBookmarksForBrowsers(hotlist, output, false, links, &report), 5);
    const std::string html = testing::GetBytes(output);
    const char* in_order[] = {">Own<",
                              "<H3>Speed Dial</H3>",
                              ">D<",
                              "<H3>Sessions</H3>",
                              "<H3>Last session</H3>",
                              "<H3>Window 1</H3>",
                              "<H3>a</H3>",
                              "<H3>Search engines</H3>",
                              "<A HREF=\"http://s/?q=%s\" SHORTCUTURL=\"k\">S</A>"};
    std::size_t at = 0;
    for (const char* piece : in_order) {
        at = html.find(piece, at);
        ASSERT_NE(at, std::string::npos) << piece << " in order in\n" << html;
    }
    EXPECT_EQ(report.CountOf("bookmarks"), 5);
    EXPECT_EQ(report.CountOf(formats::kDialsCount), 1);
    EXPECT_EQ(report.CountOf(formats::kTabsCount), 2);
    EXPECT_EQ(report.CountOf(formats::kEnginesCount), 1);

    const LinkSources missing{folder.File("none.ini"), {}, {}};
    EXPECT_THROW(ConvertOperaBookmarksForBrowsers(hotlist, output, false, missing, nullptr),
                 EFOpenError);
    EXPECT_THROW((void)SavedSessionFiles(folder.File("hotlist.adr") + ".d"), EFOpenError);
    fs::create_directory(folder.File("empty"));
    EXPECT_THROW((void)SavedSessionFiles(folder.File("empty")), EFOpenError);
    EXPECT_EQ(testing::GetBytes(output), html);

    ConversionRun run{std::nullopt, ConversionJob{hotlist, folder.File("sessions/a.win")}};
    run.link_inputs = LinkFiles(links);
    EXPECT_THROW(CheckConversionRun(run), ESameFileError);
    run.bookmarks->output = output;
    EXPECT_NO_THROW(CheckConversionRun(run));
}

// The lines of `text` starting with `start`: the totals counted apart from
// the readers.
std::int64_t LinesStarting(const std::string& text, std::string_view start) {
    std::int64_t n = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (std::string_view(text).substr(at, end - at).starts_with(start)) ++n;
        at = end + 1;
    }
    return n;
}

TEST(LinkFiles, TheRealFilesWithEveryItemAccountedFor) {
    const std::string corpus = QUARVO_PROFILE_CORPUS_DIR;
    if (corpus.empty() || !fs::is_directory(corpus)) GTEST_SKIP() << "no profile corpus";
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() ||
            (name != "speeddial.ini" && name != "search.ini" && !name.ends_with(".win")))
            continue;
        const std::string text = testing::GetBytes(entry.path().string());
        ConversionReport report;
        if (name == "speeddial.ini") {
            const BookmarkItem folder = formats::ReadSpeedDial(text, report);
            EXPECT_EQ(static_cast<std::int64_t>(folder.children.size()) +
                          report.CountOf(formats::kExtensionDialsCount) +
                          report.CountOf(formats::kEmptyDialsCount),
                      LinesStarting(text, "[Speed Dial "))
                << entry.path();
            EXPECT_GT(folder.children.size(), 0u) << entry.path();
        } else if (name == "search.ini") {
            const BookmarkItem folder = formats::ReadSearchEngines(text, report);
            EXPECT_EQ(static_cast<std::int64_t>(folder.children.size()) +
                          report.CountOf(formats::kDeletedEnginesCount) +
                          report.CountOf(formats::kPostEnginesCount) +
                          report.CountOf(formats::kNoUrlEnginesCount),
                      LinesStarting(text, "[Search Engine "))
                << entry.path();
            for (const BookmarkItem& engine : folder.children) {
                EXPECT_FALSE(engine.name.empty() || engine.url.empty()) << entry.path();
                EXPECT_EQ(engine.url.find("\xEF\xB7\x90"), std::string::npos) << engine.url;
            }
        } else {
            const BookmarkItem session =
                formats::ReadSession(text, formats::SessionName(name), report);
            std::int64_t tabs = 0;
            for (const BookmarkItem& window : session.children) tabs += window.children.size();
            EXPECT_EQ(tabs + report.CountOf(formats::kEmptyTabsCount) +
                          report.CountOf(formats::kOperaPageTabsCount),
                      LinesStarting(text, "type=1"))
                << entry.path();
            EXPECT_EQ(report.CountOf(formats::kSessionWindowsCount), LinesStarting(text, "type=0"))
                << entry.path();
            // With the history the same tabs are written, a folder holding
            // each one's pages beyond its current one.
            ConversionReport with_history;
            std::int64_t pages = 0;
            model::ForEachItem(formats::ReadSession(text, {}, with_history, true),
                               [&](const BookmarkItem& item, std::size_t) {
                                   pages += item.kind == BookmarkItem::Kind::kBookmark;
                                   return true;
                               });
            EXPECT_EQ(with_history.CountOf(formats::kTabsCount), tabs) << entry.path();
            EXPECT_EQ(pages, tabs + with_history.CountOf(formats::kSessionHistoryCount))
                << entry.path();
        }
        ++files;
    }
    EXPECT_EQ(files, 11);  // as SOURCES.md lists them
}

}  // namespace
}  // namespace quarvo
