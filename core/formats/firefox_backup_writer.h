// SPDX-License-Identifier: MIT
// The bookmark tree as Firefox's JSON backup, the file Firefox restores
// (from a profile's bookmarkbackups/ or Bookmarks > Restore > Choose File)
// over all of a profile's bookmarks: the hotlist and the folders read whole
// in the bookmarks menu, the personal bar's copies on the toolbar,
// separators, one keyword per bookmark, dates in microseconds. Written as
// the items arrive, in blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/bookmark_writer.h"
#include "formats/json_text.h"
#include "formats/output_sinks.h"

namespace quarvo::formats {

// The personal bar's copies come last: the toolbar follows the menu, as
// in Firefox's own backups.
class FirefoxBackupWriter final : public BookmarkWriter {
  public:
    // As BrowserHtmlWriter's; `lasting` also seeds the guids.
    FirefoxBackupWriter(TextSink& sink, bool keep_trash, ConversionReport* report,
                        const ProgressSink& progress, std::string_view lasting = {});

    [[nodiscard]] bool PersonalBarLast() const override { return true; }
    void BeginPersonalBar() override;
    void EndPersonalBar(std::int64_t items) override;
    void Item(const model::BookmarkFields& item, int depth) override;
    void FolderEnd(int depth) override;
    std::int32_t Finish() override;

  private:
    void OpenRoot(std::string_view guid, std::string_view title, std::string_view root,
                  std::int64_t index, std::int64_t id);
    void CloseFolder();
    void Heading(const model::BookmarkFields& item, int type_code);
    [[nodiscard]] std::string NextGuid();

    JsonOut json_;
    BookmarkTally tally_;
    TrashFilter trash_;
    const std::uint64_t seed_;
    std::uint64_t items_ = 0;  // the items given a guid and id so far
    // Per open folder (the roots' too), the index its next item gets.
    std::vector<std::int64_t> next_index_;
    bool menu_open_ = true;
    bool toolbar_written_ = false;
};

inline constexpr std::string_view kFirefoxDescriptionsLeftOut =
    "descriptions left out (Firefox's restore reads none)";

}  // namespace quarvo::formats
