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

#include "formats/bookmark_writer.h"
#include "formats/output_sinks.h"
#include "formats/seen_texts.h"
#include "model/bookmark.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// The personal bar's copies come first, as the toolbar folder at the top.
class BrowserHtmlWriter final : public BookmarkWriter {
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

    // Opera shows the personal bar's items in their folders and on the bar:
    // the items between these two calls are the toolbar folder's copies.
    void BeginPersonalBar() override;
    void EndPersonalBar(std::int64_t items) override;

    void Item(const model::BookmarkFields& item, int depth) override;
    void FolderEnd(int depth) override;

    // The writer's warnings follow any the reader gave `report` meanwhile.
    std::int32_t Finish() override;

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

}  // namespace quarvo::formats
