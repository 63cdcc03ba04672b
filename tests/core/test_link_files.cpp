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
    const std::string text = std::string(kPrefsHeader) +
                             "[Version]\nFile Version=8\n\n"
                             "[Options]\nDefault Search=2\n\n"
                             "[Search Engine 1]\nName=&Wiki && More\nURL=http://w/?s=%s\nKey=w\n"
                             "Is post=0\nEncoding=utf-8\nDeleted=0\n"
                             "[Search Engine 2]\nName=\nURL=http://www.google.com/search?q=%s&"
                             "num=%i&ie=utf-8\nKey=g\nEncoding=UTF-8\n"
                             "[Search Engine 3]\nName=Gone\nURL=http://gone/%s\nDeleted=1\n"
                             "[Search Engine 4]\nName=Form\nURL=http://post/\nQuery=q=%s\n"
                             "Is post=1\n"
                             "[Search Engine 5]\nName=History\nURL=\nKey=h\n"
                             "[Search Engine 6]\nName=Latin\nURL=http://l/?q=%s&n=%i\nKey=l\n"
                             "Encoding=iso-8859-1\n"
                             "[Search Engine 7]\nName=Page\nURL=http://page/\n";
    ConversionReport report;
    const BookmarkItem folder = formats::ReadSearchEngines(text, report);
    EXPECT_EQ(folder.name, "Search engines");
    EXPECT_EQ(Outline(folder),
              "Wiki & More <http://w/?s=%s> [w]\n"
              "www.google.com <http://www.google.com/search?q=%s&ie=utf-8> [g]\n"
              "Latin <http://l/?q=%s> [l]\n"
              "Page <http://page/>\n");
    EXPECT_EQ(report.CountOf(formats::kEnginesCount), 4);
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

TEST(Sessions, WindowsHoldTheirTabsCurrentPages) {
    const std::string text = std::string(kPrefsHeader) +
                             "[session]\nversion=7000\nwindow count=4\n\n"
                             "[1]\nid=10\ntype=0\n"
                             "[2]\nid=11\nparent=10\ntype=1\ncurrent history=2\n"
                             "[2history url]\ncount=2\n0=http://back/\n1=http://now/\n"
                             "[2history title]\ncount=2\n0=Back\n1=Now\n"
                             "[3]\nid=12\nparent=10\ntype=1\ncurrent history=1\n"
                             "[3history url]\ncount=1\n0=opera:speeddial\n"
                             "[4]\nid=13\nparent=10\ntype=1\ncurrent history=1\n"
                             "[4history url]\ncount=0\n"
                             "[5]\nid=20\ntype=0\n"
                             "[6]\nid=21\nparent=20\ntype=1\ncurrent history=1\n"
                             "[6history url]\ncount=1\n0=http://untitled/\n"
                             "[7]\nid=31\nparent=99\ntype=1\ncurrent history=1\n"
                             "[7history url]\ncount=1\n0=http://orphan/\n"
                             "[7history title]\ncount=1\n0=Orphan\n";
    ConversionReport report;
    const BookmarkItem session = formats::ReadSession(text, "Last session", report);
    EXPECT_EQ(session.name, "Last session");
    EXPECT_EQ(Outline(session),
              "Window 1/\n"
              "  Now <http://now/>\n"
              "Window 2/\n"
              "  http://untitled/ <http://untitled/>\n"
              "Window 3/\n"
              "  Orphan <http://orphan/>\n");
    EXPECT_EQ(report.CountOf(formats::kSessionWindowsCount), 3);
    EXPECT_EQ(report.CountOf(formats::kTabsCount), 3);
    EXPECT_EQ(report.CountOf(formats::kOperaPageTabsCount), 1);
    EXPECT_EQ(report.CountOf(formats::kEmptyTabsCount), 1);
    EXPECT_EQ(formats::SessionName("autosave.win"), "Last session");
    EXPECT_EQ(formats::SessionName("mit sicp.win"), "mit sicp");
    EXPECT_EQ(formats::SessionName("plain"), "plain");
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
            for (const BookmarkItem& engine : folder.children)
                EXPECT_FALSE(engine.name.empty() || engine.url.empty()) << entry.path();
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
        }
        ++files;
    }
    EXPECT_EQ(files, 11);  // as SOURCES.md lists them
}

}  // namespace
}  // namespace quarvo
