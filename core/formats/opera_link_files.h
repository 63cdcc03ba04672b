// SPDX-License-Identifier: MIT
// The links Opera keeps beside the hotlist, each file small and read whole
// into a folder of the bookmark tree: the Speed Dial (speeddial.ini), a
// saved session (sessions/*.win, autosave.win) and the search engines
// (search.ini). All three are Opera's preference files in UTF-8; a value
// that is not UTF-8 is read as Windows-1252 and warned of. None fails: what
// cannot be written as a bookmark is left out and counted in `report`.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// "Speed Dial": the dials in their number's order, each named by the title
// the user gave, else the page's, else its URL. Extension dials and dials
// without a URL are left out.
[[nodiscard]] model::BookmarkItem ReadSpeedDial(std::string_view text, ConversionReport& report);

// "Search engines": a bookmark per engine, its URL keeping "%s" where the
// search term goes (both browsers' keyword searches use the same mark), its
// key as the keyword, its name without the menu's "&" marks. Deleted
// engines, POST engines and engines without a URL are left out.
[[nodiscard]] model::BookmarkItem ReadSearchEngines(std::string_view text,
                                                    ConversionReport& report);

// A folder named `name` holding a folder per window, each holding its
// tabs' current pages. Tabs without a page, or showing Opera's own pages
// ("opera:"), are left out. With `history`, a tab whose history holds other
// pages is a folder, named as its bookmark, of all of them in the
// history's order (Opera's own pages and empty entries left out).
[[nodiscard]] model::BookmarkItem ReadSession(std::string_view text, std::string_view name,
                                              ConversionReport& report, bool history = false);

// The folder name of the session in the file named `file_name`: "Last
// session" for autosave.win, else the name without ".win".
[[nodiscard]] std::string SessionName(std::string_view file_name);

// `value` as UTF-8: read as Windows-1252, and warned of naming `place`,
// when it is not.
[[nodiscard]] std::string LinkText(std::string_view value, std::string_view place,
                                   ConversionReport& report);

// Opera's menu marks: "&&" is an "&", a lone "&" marks the menu key.
[[nodiscard]] std::string WithoutMenuMarks(std::string_view name);

inline constexpr std::string_view kSpeedDialFolder = "Speed Dial";
inline constexpr std::string_view kSessionsFolder = "Sessions";
inline constexpr std::string_view kSearchEnginesFolder = "Search engines";

inline constexpr std::string_view kDialsCount = "speed dials";
inline constexpr std::string_view kExtensionDialsCount = "extension speed dials left out";
inline constexpr std::string_view kEmptyDialsCount = "speed dials without a URL left out";
inline constexpr std::string_view kEnginesCount = "search engines";
inline constexpr std::string_view kDeletedEnginesCount = "deleted search engines left out";
inline constexpr std::string_view kPostEnginesCount =
    "search engines sending POST left out (a bookmark cannot)";
inline constexpr std::string_view kNoUrlEnginesCount = "search engines without a URL left out";
inline constexpr std::string_view kOtherEncodingWarning =
    "search engines in an encoding other than UTF-8 (the browsers send UTF-8)";
inline constexpr std::string_view kNoTermWarning =
    "search engines whose URL has no \"%s\" (written as plain bookmarks)";
inline constexpr std::string_view kSessionWindowsCount = "session windows";
inline constexpr std::string_view kTabsCount = "session tabs";
inline constexpr std::string_view kEmptyTabsCount = "session tabs without a page left out";
inline constexpr std::string_view kOperaPageTabsCount =
    "session tabs showing an Opera page (opera:) left out";
inline constexpr std::string_view kSessionHistoryCount = "session history pages";
inline constexpr std::string_view kLinkNotUtf8Warning = "bytes not valid in the file's encoding";

}  // namespace quarvo::formats
