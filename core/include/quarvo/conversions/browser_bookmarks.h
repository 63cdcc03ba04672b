// SPDX-License-Identifier: MIT
// The two flavours of the bookmark file and the browser flavour's
// conversion. The Internet Explorer flavour is ConvertOperaBookmarks
// (hotlist.h), the default; the browser flavour is the file that Firefox,
// Chromium and the browsers built on them import whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// The Internet Explorer file, the browser flavour's HTML, and the two
// browsers' own files that keep what their HTML import loses: Firefox's
// JSON backup (restored over all of a profile's bookmarks) and Chromium's
// Bookmarks file (put into a new, closed profile).
enum class BookmarkFlavour { kInternetExplorer, kBrowser, kFirefoxBackup, kChromium };

// Opera's other lists of links, written by the browser flavour after the
// hotlist's own items, each as a folder of its own: the Speed Dial
// (speeddial.ini), saved sessions (a .win file, or a folder of them) and
// the search engines (search.ini). An empty name leaves its folder out.
// `session_history` writes each tab's back and forward pages too, not only
// its current one.
struct LinkSources {
    std::string speed_dial;
    std::string sessions;
    std::string search_engines;
    bool session_history = false;

    [[nodiscard]] bool empty() const noexcept {
        return speed_dial.empty() && sessions.empty() && search_engines.empty();
    }
};

// The Speed Dial, saved sessions and search engines of the profile that
// holds `hotlist_path` (as the profile's ini names them, else beside it);
// each empty where the profile has none. Never throws.
[[nodiscard]] LinkSources LinkSourcesBeside(const std::string& hotlist_path);

// How the user wants the hotlist converted. Opera's trash is kept (as an
// ordinary folder) by the browser flavour only when asked; the Internet
// Explorer flavour always writes it as a folder.
struct BookmarkOptions {
    BookmarkFlavour flavour = BookmarkFlavour::kInternetExplorer;
    bool keep_trash = false;
    LinkSources links{};  // not the Internet Explorer flavour's
};

struct BrowserBookmarksConversion {
    std::string html;
    std::int32_t bookmarks = 0;  // bookmarks written, the personal bar's copies not counted
};

// Converts the bytes of a hotlist into the browser flavour, filling
// `report`. `progress` (may be empty) is called once per bookmark. Returns
// nothing when the first line names a version other than 2.0.
[[nodiscard]] std::optional<BrowserBookmarksConversion> ConvertHotlistTextForBrowsers(
    std::string_view hotlist, bool keep_trash, ConversionReport& report,
    const ProgressSink& progress = {});

// As ConvertHotlistTextForBrowsers, in `flavour` (kBrowser, kFirefoxBackup
// or kChromium); `html` then holds that file's text.
[[nodiscard]] std::optional<BrowserBookmarksConversion> ConvertHotlistTextFor(
    std::string_view hotlist, BookmarkFlavour flavour, bool keep_trash, ConversionReport& report,
    const ProgressSink& progress = {});

// As above, in `options.flavour`, with the folders `options.links` names
// after the hotlist's items (their counts following the hotlist's in
// `report`). Throws EFOpenError when a file of the links cannot be read.
[[nodiscard]] std::optional<BrowserBookmarksConversion> ConvertHotlistTextFor(
    std::string_view hotlist, const BookmarkOptions& options, ConversionReport& report);

// As ConvertOperaBookmarks, in the browser flavour: returns the number of
// bookmarks, or kUnsupportedHotlistVersion after showing
// kUnknownVersionMessage, the output left as it was. File errors propagate.
// The file is written as it is converted; `report` may be null when no
// report is asked for, which spares remembering every URL.
std::int32_t ConvertOperaBookmarksForBrowsers(const std::string& hotlist_path,
                                              const std::string& html_path, bool keep_trash,
                                              ConversionReport* report,
                                              const ProgressSink& progress = {},
                                              const MessageSink& message = {});

// As above, with the folders of `links` after the hotlist's items. They
// are read whole before the output is opened: a file among them that
// cannot be read throws EFOpenError and leaves the output as it was.
std::int32_t ConvertOperaBookmarksForBrowsers(const std::string& hotlist_path,
                                              const std::string& html_path, bool keep_trash,
                                              const LinkSources& links, ConversionReport* report,
                                              const ProgressSink& progress = {},
                                              const MessageSink& message = {});

// As above, into the file of `options.flavour` (kBrowser, kFirefoxBackup or
// kChromium), with its trash choice and links. The JSON files are written
// as they are converted too, never whole in memory.
std::int32_t ConvertOperaBookmarksToFile(const std::string& hotlist_path,
                                         const std::string& output_path,
                                         const BookmarkOptions& options, ConversionReport* report,
                                         const ProgressSink& progress = {},
                                         const MessageSink& message = {});

// The saved sessions `sessions` names: the file itself, or a folder's .win
// files, autosave.win first and the rest by name. Throws EFOpenError when a
// folder cannot be listed or holds no .win file.
[[nodiscard]] std::vector<std::string> SavedSessionFiles(const std::string& sessions);

// Every file `links` names, the sessions' as SavedSessionFiles finds them.
[[nodiscard]] std::vector<std::string> LinkFiles(const LinkSources& links);

// The report of an Internet Explorer flavour conversion that wrote
// `bookmarks` bookmarks from `hotlist`: the count, the trash items it wrote
// as ordinary ones, and what looked wrong in the hotlist.
void ReportInternetExplorerConversion(std::string_view hotlist, std::int32_t bookmarks,
                                      ConversionReport& report);

}  // namespace quarvo
