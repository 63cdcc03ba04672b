// SPDX-License-Identifier: MIT
// The bookmark tree as the Netscape bookmark file that today's browsers
// import whole (Firefox, Chromium and those built on them): UTF-8 with its
// META line, <HR> separators, <DD> descriptions, keywords, numeric dates,
// the personal bar as the toolbar folder, Opera's trash left out.
#pragma once

#include <cstdint>
#include <string>

#include "model/bookmark.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

struct BrowserHtml {
    std::string html;
    std::int32_t bookmarks = 0;  // written in the tree, the personal bar's copies not counted
};

// Writes `tree`. With `keep_trash`, a trash folder is written as an ordinary
// folder under its own name; without, it and all it holds are left out.
// Counts what was written and left out into `report`, and warns of URLs
// met more than once. `progress` (may be empty) is called once per bookmark.
[[nodiscard]] BrowserHtml WriteBrowserHtml(const model::BookmarkTree& tree, bool keep_trash,
                                           ConversionReport& report,
                                           const ProgressSink& progress = {});

// The labels of the counts, in the order the report shows them.
inline constexpr std::string_view kFoldersCount = "folders";
inline constexpr std::string_view kBookmarksCount = "bookmarks";
inline constexpr std::string_view kSeparatorsCount = "separators";
inline constexpr std::string_view kDescriptionsCount = "descriptions";
inline constexpr std::string_view kKeywordsCount = "keywords";
inline constexpr std::string_view kPersonalBarCount =
    "personal-bar items (copied to the toolbar folder)";
inline constexpr std::string_view kTrashLeftOutCount = "trash items left out";
inline constexpr std::string_view kDuplicateUrlWarning = "URLs met more than once";
inline constexpr std::string_view kSharedKeywordWarning =
    "keywords given to bookmarks of different URLs (Firefox keeps the last)";
inline constexpr std::string_view kNoSchemeWarning =
    "bookmarks whose URL has no scheme (\"http:\"), which browsers leave out";

}  // namespace quarvo::formats
