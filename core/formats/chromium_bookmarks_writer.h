// SPDX-License-Identifier: MIT
// The bookmark tree as Chromium's own Bookmarks file, which Chromium (and
// the browsers built on it) loads from a profile's folder: the personal
// bar's copies on the bookmarks bar, the hotlist and the folders read whole
// under "Other bookmarks", every folder kept (the empty ones and those of
// one name side by side), dates in microseconds since 1601. Chromium's
// bookmarks hold no separators, keywords or descriptions: they are left out
// and counted. Written as the items arrive, in blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/bookmark_writer.h"
#include "formats/json_text.h"
#include "formats/output_sinks.h"

namespace quarvo::formats {

class ChromiumBookmarksWriter final : public BookmarkWriter {
  public:
    // As BrowserHtmlWriter's; `lasting` also seeds the guids.
    ChromiumBookmarksWriter(TextSink& sink, bool keep_trash, ConversionReport* report,
                            const ProgressSink& progress, std::string_view lasting = {});

    void BeginPersonalBar() override;
    void EndPersonalBar(std::int64_t items) override;
    void Item(const model::BookmarkFields& item, int depth) override;
    void FolderEnd(int depth) override;
    std::int32_t Finish() override;

  private:
    void OpenRoot(std::string_view key, std::string_view name, std::int64_t id);
    void ToOtherBookmarks();
    void Heading(const model::BookmarkFields& item);
    [[nodiscard]] std::string NextGuid();

    JsonOut json_;
    BookmarkTally tally_;
    TrashFilter trash_;
    const std::uint64_t seed_;
    std::uint64_t items_ = 0;       // the items given an id and guid so far
    std::size_t open_folders_ = 0;  // below the root being written
    bool in_bar_ = true;            // the bar's children are open
    bool copying_bar_ = false;      // between Begin- and EndPersonalBar
};

inline constexpr std::string_view kChromiumSeparatorsLeftOut =
    "separators left out (Chromium has none)";
inline constexpr std::string_view kChromiumKeywordsLeftOut =
    "keywords left out (Chromium's bookmarks hold none)";
inline constexpr std::string_view kChromiumDescriptionsLeftOut =
    "descriptions left out (Chromium's bookmarks hold none)";

}  // namespace quarvo::formats
