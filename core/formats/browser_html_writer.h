// SPDX-License-Identifier: MIT
// The bookmark tree as the Netscape bookmark file that today's browsers
// import whole (Firefox, Chromium and those built on them): UTF-8 with its
// META line, <HR> separators, <DD> descriptions, keywords, numeric dates,
// the personal bar as the toolbar folder, Opera's trash left out.
// Written as the items arrive, in blocks, so that the file is never held
// whole.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "formats/output_sinks.h"
#include "formats/seen_texts.h"
#include "model/bookmark.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// The items come in the file's order, each with its depth (1 for the top),
// a folder's items after it and its FolderEnd after them. First may come
// the personal bar's copies (between BeginPersonalBar and EndPersonalBar,
// at depth 2), then the items; folders read whole (WholeItem) may come
// before or after the hotlist's own. Finish writes the end.
class BrowserHtmlWriter {
  public:
    // With `keep_trash`, a trash folder is written as an ordinary folder
    // under its own name; without, it and all it holds are left out.
    // `report` (may be null: nothing is counted and no URL remembered) gets
    // the counts of what was written and left out and the warnings about
    // URLs and keywords; texts inside `lasting`, which outlives the writer,
    // are remembered without a copy. `progress` (may be empty) is called
    // once per bookmark of the tree.
    BrowserHtmlWriter(TextSink& sink, bool keep_trash, ConversionReport* report,
                      const ProgressSink& progress, std::string_view lasting = {});
    BrowserHtmlWriter(const BrowserHtmlWriter&) = delete;
    BrowserHtmlWriter& operator=(const BrowserHtmlWriter&) = delete;

    // Opera shows the personal bar's items in their folders and on the bar:
    // the items between these two calls are the toolbar folder's copies,
    // written but not counted.
    void BeginPersonalBar();
    void EndPersonalBar(std::int64_t items);

    void Item(const model::BookmarkFields& item, int depth);
    void FolderEnd(int depth);
    // `item` and all it holds.
    void WholeItem(const model::BookmarkItem& item, int depth);

    // Writes the end and hands the rest on; returns the bookmarks written,
    // the personal bar's copies not counted. The writer's warnings follow
    // any the reader gave `report` meanwhile.
    std::int32_t Finish();

  private:
    void Put(std::string_view text) { out_.append(text); }
    void PutEscaped(std::string_view text, std::string_view pair, std::string_view lone);
    void PassBlock();
    void Indent(int depth);
    void Attribute(std::string_view name, std::string_view value);
    void EscapedAttribute(std::string_view name, std::string_view value, std::string_view pair,
                          std::string_view lone);
    void DateAttribute(std::string_view name, const std::optional<std::int64_t>& seconds);
    void FolderHeading(const model::BookmarkFields& folder, int depth);
    void Bookmark(const model::BookmarkFields& bookmark, int depth);
    void Description(std::string_view description, int depth);
    void Count(std::string_view label, std::int64_t n = 1);

    TextSink& sink_;
    const bool keep_trash_;
    ConversionReport* report_;
    const ProgressSink progress_;
    std::string out_;
    bool counted_ = true;     // false for the personal bar's copies
    int left_out_depth_ = 0;  // the depth of the trash folder being left out, 0 outside one
    std::int32_t bookmarks_ = 0;
    ConversionReport warnings_;  // the writer's own, given to `report_` last
    SeenTexts urls_;
    std::map<std::string, std::string, std::less<>> keywords_;  // the URL each was first given to
};

// The depth past which lines are indented no further.
inline constexpr int kDeepestIndent = 8;

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
