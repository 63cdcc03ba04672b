// SPDX-License-Identifier: MIT
// What every writer of the newer bookmark files receives, in the order the
// hotlist holds it, so that one walk of the hotlist drives the HTML file,
// Firefox's JSON backup and Chromium's Bookmarks file alike without a tree
// of the whole hotlist; and what the JSON writers share: the trash left
// out and the counts and warnings the report gives.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "formats/seen_texts.h"
#include "model/bookmark.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

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
inline constexpr std::string_view kUrlKeywordsWarning =
    "URLs given two keywords by their bookmarks (Firefox keeps the last)";
inline constexpr std::string_view kNoSchemeWarning =
    "bookmarks whose URL has no scheme (\"http:\"), which browsers leave out";

// The items come in the file's order, each with its depth (1 for the top),
// a folder's items after it and its FolderEnd after them. The personal
// bar's copies come between BeginPersonalBar and EndPersonalBar (at depth
// 2), before the items or, for a writer whose PersonalBarLast is true,
// after them; folders read whole (WholeItem) follow the hotlist's own.
// Finish writes the end.
class BookmarkWriter {
  public:
    BookmarkWriter() = default;
    BookmarkWriter(const BookmarkWriter&) = delete;
    BookmarkWriter& operator=(const BookmarkWriter&) = delete;
    virtual ~BookmarkWriter() = default;

    [[nodiscard]] virtual bool PersonalBarLast() const { return false; }
    // The items between these two calls are copies, written but not counted.
    virtual void BeginPersonalBar() = 0;
    virtual void EndPersonalBar(std::int64_t items) = 0;

    virtual void Item(const model::BookmarkFields& item, int depth) = 0;
    virtual void FolderEnd(int depth) = 0;
    // `item` and all it holds, without recursion: a folder may nest others
    // a million deep.
    void WholeItem(const model::BookmarkItem& item, int depth);

    // Writes the end and hands the rest on; returns the bookmarks written,
    // the personal bar's copies not counted.
    virtual std::int32_t Finish() = 0;
};

// "http:", "javascript:", "opera:": a URL without one is no link a
// browser keeps.
[[nodiscard]] bool HasScheme(std::string_view url);

// The counts and warnings of a JSON writer, as the HTML writer gives them:
// `report` may be null (nothing counted, no URL remembered); texts inside
// `lasting` are remembered without a copy.
class BookmarkTally {
  public:
    // `labels` are reported at 0 first, so that the report shows them all,
    // in this order.
    BookmarkTally(ConversionReport* report, const ProgressSink& progress, std::string_view lasting,
                  std::initializer_list<std::string_view> labels);

    // Off while the personal bar's copies are written.
    void SetCounted(bool counted) { counted_ = counted; }
    void Count(std::string_view label, std::int64_t n = 1);
    // A bookmark written: counted, its URL checked, progress told.
    void Bookmark(const model::BookmarkFields& bookmark);
    // A keyword written with `bookmark`, counted under `label`; when
    // `warn_shared`, a keyword of two URLs and a URL of two keywords are
    // warned of, as Firefox keeps one keyword per URL and one URL per
    // keyword.
    void Keyword(const model::BookmarkFields& bookmark, std::string_view label, bool warn_shared);
    // The writer's warnings, after any the reader gave meanwhile.
    std::int32_t Finish();

  private:
    ConversionReport* report_;
    const ProgressSink progress_;
    bool counted_ = true;
    std::int32_t bookmarks_ = 0;
    ConversionReport warnings_;
    SeenTexts urls_;
    std::map<std::string, std::string, std::less<>> keywords_;    // the URL each was first given to
    std::map<std::string, std::string, std::less<>> keyword_of_;  // the keyword each URL was given
};

// Opera's trash and all it holds, left out unless kept (then an ordinary
// folder under its own name).
class TrashFilter {
  public:
    explicit TrashFilter(bool keep) : keep_(keep) {}
    // Whether `item` is written; an item inside the left-out trash is
    // counted under the trash count.
    bool Admit(const model::BookmarkFields& item, int depth, BookmarkTally& tally);
    // Whether the folder end at `depth` is written.
    bool AdmitEnd(int depth);

  private:
    const bool keep_;
    int left_out_depth_ = 0;  // the depth of the trash folder being left out, 0 outside one
};

}  // namespace quarvo::formats
