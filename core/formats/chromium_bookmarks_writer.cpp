// SPDX-License-Identifier: MIT
#include "formats/chromium_bookmarks_writer.h"

namespace quarvo::formats {
using model::BookmarkItem;

namespace {

// Chromium counts time in microseconds from 1601-01-01.
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

// Chromium's own ids of its three roots; the items follow them.
constexpr std::int64_t kBarId = 1;
constexpr std::int64_t kOtherId = 2;
constexpr std::int64_t kSyncedId = 3;

constexpr std::string_view kTitleBreak = " ";
constexpr std::string_view kUrlBreak = "%02%02";

}  // namespace

// No checksum: Chromium takes a file without one and gives its items new
// ids, which it does anyway when the checksum is not its own, and a
// checksum of our own would need MD5 on every platform for no gain. The
// roots get no guid: Chromium keeps its own for them.
ChromiumBookmarksWriter::ChromiumBookmarksWriter(TextSink& sink, bool keep_trash,
                                                 ConversionReport* report,
                                                 const ProgressSink& progress,
                                                 std::string_view lasting)
    : json_(sink),
      tally_(report, progress, lasting,
             {kFoldersCount, kBookmarksCount, kChromiumSeparatorsLeftOut, kChromiumKeywordsLeftOut,
              kChromiumDescriptionsLeftOut, kPersonalBarCount, kTrashLeftOutCount}),
      trash_(keep_trash),
      seed_(IdentitySeed(lasting)) {
    json_.BeginObject();
    json_.BeginObject("roots");
    OpenRoot("bookmark_bar", "Bookmarks bar", kBarId);
}

void ChromiumBookmarksWriter::OpenRoot(std::string_view key, std::string_view name,
                                       std::int64_t id) {
    json_.BeginObject(key);
    json_.NumberString("id", id);
    json_.String("name", name);
    json_.String("type", "folder");
    json_.BeginArray("children");
}

// The bar's copies come first; whatever follows them belongs under "Other
// bookmarks".
void ChromiumBookmarksWriter::ToOtherBookmarks() {
    if (!in_bar_) return;
    for (; open_folders_ > 0; --open_folders_) {
        json_.End();
        json_.End();
    }
    json_.End();  // the bar's children
    json_.End();
    OpenRoot("other", "Other bookmarks", kOtherId);
    in_bar_ = false;
}

void ChromiumBookmarksWriter::BeginPersonalBar() {
    copying_bar_ = true;
    tally_.SetCounted(false);
}

void ChromiumBookmarksWriter::EndPersonalBar(std::int64_t items) {
    copying_bar_ = false;
    ToOtherBookmarks();
    tally_.SetCounted(true);
    tally_.Count(kPersonalBarCount, items);
    json_.Pass();
}

void ChromiumBookmarksWriter::Item(const model::BookmarkFields& item, int depth) {
    if (!trash_.Admit(item, depth, tally_)) return;
    if (!copying_bar_) ToOtherBookmarks();
    switch (item.kind) {
        case BookmarkItem::Kind::kFolder:
            Heading(item);
            if (const auto added = Microseconds(item.created, kSecondsFrom1601To1970))
                json_.NumberString("date_modified", *added);
            json_.String("type", "folder");
            json_.BeginArray("children");
            ++open_folders_;
            break;
        case BookmarkItem::Kind::kBookmark:
            Heading(item);
            // Opera's VISITED=0 is a page never visited, not one visited in 1970.
            if (const auto visited = Microseconds(item.visited, kSecondsFrom1601To1970);
                visited && item.visited != 0)
                json_.NumberString("date_last_used", *visited);
            json_.String("type", "url");
            json_.String("url", item.url, kUrlBreak);
            json_.End();
            tally_.Bookmark(item);
            if (!item.short_name.empty()) tally_.Keyword(item, kChromiumKeywordsLeftOut, false);
            break;
        case BookmarkItem::Kind::kSeparator:
            tally_.Count(kChromiumSeparatorsLeftOut);
            break;
    }
    if (!item.description.empty()) tally_.Count(kChromiumDescriptionsLeftOut);
    json_.Pass();
}

void ChromiumBookmarksWriter::FolderEnd(int depth) {
    if (!copying_bar_) ToOtherBookmarks();
    // A folder end without its folder (the root's own level) is no end.
    if (!trash_.AdmitEnd(depth) || open_folders_ == 0) return;
    json_.End();  // children
    json_.End();
    --open_folders_;
    tally_.Count(kFoldersCount);
    json_.Pass();
}

std::int32_t ChromiumBookmarksWriter::Finish() {
    ToOtherBookmarks();
    for (; open_folders_ > 0; --open_folders_) {
        json_.End();
        json_.End();
    }
    json_.End();  // other's children
    json_.End();
    OpenRoot("synced", "Mobile bookmarks", kSyncedId);
    json_.End();
    json_.End();
    json_.End();  // roots
    json_.Number("version", 1);
    json_.End();
    json_.Flush();
    return tally_.Finish();
}

// A date Opera did not keep is left out: Chromium then gives the time the
// file is loaded.
void ChromiumBookmarksWriter::Heading(const model::BookmarkFields& item) {
    json_.BeginObject();
    const std::string guid = NextGuid();
    if (const auto added = Microseconds(item.created, kSecondsFrom1601To1970))
        json_.NumberString("date_added", *added);
    json_.String("guid", guid);
    json_.NumberString("id", kSyncedId + static_cast<std::int64_t>(items_));
    json_.String("name", item.name, kTitleBreak);
}

// A version-4 UUID in form: 48 bits of the hotlist's seed, then the item's
// number.
std::string ChromiumBookmarksWriter::NextGuid() {
    ++items_;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string guid = "xxxxxxxx-xxxx-4xxx-8xxx-xxxxxxxxxxxx";
    std::uint64_t seed = seed_;
    for (std::size_t i = 0; i < 13; ++i) {
        if (guid[i] != 'x') continue;
        guid[i] = kHex[seed & 15];
        seed >>= 4;
    }
    std::uint64_t number = items_;
    for (std::size_t i = guid.size(); i-- > 13;) {
        if (guid[i] != 'x') continue;
        guid[i] = kHex[number & 15];
        number >>= 4;
    }
    return guid;
}

}  // namespace quarvo::formats
