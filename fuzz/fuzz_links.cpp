// SPDX-License-Identifier: MIT
// The Speed Dial, session and search-engine readers on arbitrary bytes: they
// must never crash, must hand on only UTF-8, never more items than the file
// has sections, never a bookmark without a URL, and never Opera's stand-in
// for "%" in a search URL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/opera_link_files.h"
#include "laws.h"
#include "text/text_encoding.h"

namespace {

using quarvo::model::BookmarkItem;

std::size_t Count(std::string_view text, std::string_view part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string_view::npos;
         at += part.size())
        ++n;
    return n;
}

// The keys are read without regard to case.
std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lowered;
}

// Every bookmark below `folder` is UTF-8 and has a URL; returns how many.
std::int64_t CheckedBookmarks(const BookmarkItem& folder) {
    std::int64_t bookmarks = 0;
    QUARVO_LAW(quarvo::formats::IsValidUtf8(folder.name));
    quarvo::model::ForEachItem(folder, [&](const BookmarkItem& item, std::size_t) {
        QUARVO_LAW(quarvo::formats::IsValidUtf8(item.name));
        QUARVO_LAW(quarvo::formats::IsValidUtf8(item.url));
        QUARVO_LAW(quarvo::formats::IsValidUtf8(item.short_name));
        if (item.kind == BookmarkItem::Kind::kBookmark) {
            QUARVO_LAW(!item.url.empty() && !item.name.empty());
            ++bookmarks;
        }
        return true;
    });
    return bookmarks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo;
    const std::string_view text = fuzz::AsText(data, size);
    const auto sections = static_cast<std::int64_t>(Count(text, "["));

    ConversionReport dials;
    const std::int64_t written = CheckedBookmarks(formats::ReadSpeedDial(text, dials));
    QUARVO_LAW(written == dials.CountOf(formats::kDialsCount));
    QUARVO_LAW(written + dials.CountOf(formats::kExtensionDialsCount) +
                   dials.CountOf(formats::kEmptyDialsCount) <=
               sections);

    ConversionReport engines;
    const BookmarkItem search = formats::ReadSearchEngines(text, engines);
    QUARVO_LAW(CheckedBookmarks(search) + engines.CountOf(formats::kDeletedEnginesCount) +
                   engines.CountOf(formats::kPostEnginesCount) +
                   engines.CountOf(formats::kNoUrlEnginesCount) <=
               sections);
    for (const BookmarkItem& engine : search.children)
        QUARVO_LAW(engine.url.find("\xEF\xB7\x90") == std::string::npos);

    ConversionReport tabs;
    const std::int64_t pages = CheckedBookmarks(formats::ReadSession(text, "s", tabs));
    QUARVO_LAW(pages == tabs.CountOf(formats::kTabsCount));
    QUARVO_LAW(pages + tabs.CountOf(formats::kEmptyTabsCount) +
                   tabs.CountOf(formats::kOperaPageTabsCount) <=
               static_cast<std::int64_t>(Count(Lowered(text), "type")));

    ConversionReport history;
    QUARVO_LAW(CheckedBookmarks(formats::ReadSession(text, "s", history, true)) ==
               pages + history.CountOf(formats::kSessionHistoryCount));
    QUARVO_LAW(history.CountOf(formats::kTabsCount) == pages);
    return 0;
}
