// SPDX-License-Identifier: MIT
#include "formats/firefox_backup_writer.h"

namespace quarvo::formats {
using model::BookmarkItem;

namespace {

constexpr std::string_view kFolderType = "text/x-moz-place-container";
constexpr std::string_view kBookmarkType = "text/x-moz-place";
constexpr std::string_view kSeparatorType = "text/x-moz-place-separator";
constexpr int kBookmarkCode = 1;
constexpr int kFolderCode = 2;
constexpr int kSeparatorCode = 3;

// Firefox's own ids of its roots; the items follow them.
constexpr std::int64_t kRootId = 1;
constexpr std::int64_t kMenuId = 2;
constexpr std::int64_t kToolbarId = 3;
constexpr std::int64_t kUnfiledId = 5;
constexpr std::int64_t kMobileId = 6;

// A title stays on one line, as in the HTML flavour; a keyword too.
constexpr std::string_view kTitleBreak = " ";
// A line-break byte is no character a link can hold.
constexpr std::string_view kUriBreak = "%02%02";

// Places takes a guid of 12 characters of the URL-safe base64 alphabet.
constexpr char kGuidAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

}  // namespace

FirefoxBackupWriter::FirefoxBackupWriter(TextSink& sink, bool keep_trash, ConversionReport* report,
                                         const ProgressSink& progress, std::string_view lasting)
    : json_(sink),
      tally_(report, progress, lasting,
             {kFoldersCount, kBookmarksCount, kSeparatorsCount, kKeywordsCount,
              kFirefoxDescriptionsLeftOut, kPersonalBarCount, kTrashLeftOutCount}),
      trash_(keep_trash),
      seed_(IdentitySeed(lasting)) {
    json_.BeginObject();
    json_.String("guid", "root________");
    json_.String("title", "");
    json_.Number("index", 0);
    json_.Number("id", kRootId);
    json_.Number("typeCode", kFolderCode);
    json_.String("type", kFolderType);
    json_.String("root", "placesRoot");
    json_.BeginArray("children");
    OpenRoot("menu________", "menu", "bookmarksMenuFolder", 0, kMenuId);
}

void FirefoxBackupWriter::OpenRoot(std::string_view guid, std::string_view title,
                                   std::string_view root, std::int64_t index, std::int64_t id) {
    json_.BeginObject();
    json_.String("guid", guid);
    json_.String("title", title);
    json_.Number("index", index);
    json_.Number("id", id);
    json_.Number("typeCode", kFolderCode);
    json_.String("type", kFolderType);
    json_.String("root", root);
    json_.BeginArray("children");
    next_index_.push_back(0);
}

void FirefoxBackupWriter::CloseFolder() {
    json_.End();  // children
    json_.End();
    next_index_.pop_back();
}

void FirefoxBackupWriter::BeginPersonalBar() {
    while (next_index_.size() > 1) CloseFolder();
    if (menu_open_) CloseFolder();
    menu_open_ = false;
    OpenRoot("toolbar_____", "toolbar", "toolbarFolder", 1, kToolbarId);
    tally_.SetCounted(false);
}

void FirefoxBackupWriter::EndPersonalBar(std::int64_t items) {
    CloseFolder();
    toolbar_written_ = true;
    tally_.SetCounted(true);
    tally_.Count(kPersonalBarCount, items);
    json_.Pass();
}

void FirefoxBackupWriter::Item(const model::BookmarkFields& item, int depth) {
    if (!trash_.Admit(item, depth, tally_)) return;
    switch (item.kind) {
        case BookmarkItem::Kind::kFolder:
            Heading(item, kFolderCode);
            json_.String("type", kFolderType);
            json_.BeginArray("children");
            next_index_.push_back(0);
            break;
        case BookmarkItem::Kind::kBookmark:
            Heading(item, kBookmarkCode);
            if (!item.short_name.empty()) {
                json_.String("keyword", item.short_name, kTitleBreak);
                tally_.Keyword(item, kKeywordsCount, true);
            }
            json_.String("type", kBookmarkType);
            json_.String("uri", item.url, kUriBreak);
            json_.End();
            tally_.Bookmark(item);
            break;
        case BookmarkItem::Kind::kSeparator:
            Heading(item, kSeparatorCode);
            json_.String("type", kSeparatorType);
            json_.End();
            tally_.Count(kSeparatorsCount);
            break;
    }
    if (!item.description.empty()) tally_.Count(kFirefoxDescriptionsLeftOut);
    json_.Pass();
}

void FirefoxBackupWriter::FolderEnd(int depth) {
    // A folder end without its folder (the root's own level) is no end.
    if (!trash_.AdmitEnd(depth) || next_index_.size() < 2) return;
    CloseFolder();
    tally_.Count(kFoldersCount);
    json_.Pass();
}

std::int32_t FirefoxBackupWriter::Finish() {
    while (next_index_.size() > 1) CloseFolder();
    if (menu_open_) CloseFolder();
    menu_open_ = false;
    if (!toolbar_written_) {
        OpenRoot("toolbar_____", "toolbar", "toolbarFolder", 1, kToolbarId);
        CloseFolder();
    }
    OpenRoot("unfiled_____", "unfiled", "unfiledBookmarksFolder", 3, kUnfiledId);
    CloseFolder();
    OpenRoot("mobile______", "mobile", "mobileFolder", 4, kMobileId);
    CloseFolder();
    json_.End();  // the root's children
    json_.End();
    json_.Flush();
    return tally_.Finish();
}

// What every item starts with. Firefox drops a lastModified before the
// dateAdded; Opera keeps no change date, so both carry CREATED, as the
// HTML flavour's LAST_MODIFIED does.
void FirefoxBackupWriter::Heading(const model::BookmarkFields& item, int type_code) {
    json_.BeginObject();
    json_.String("guid", NextGuid());
    if (item.kind != BookmarkItem::Kind::kSeparator) json_.String("title", item.name, kTitleBreak);
    json_.Number("index", next_index_.back()++);
    if (const auto added = Microseconds(item.created)) {
        json_.Number("dateAdded", *added);
        json_.Number("lastModified", *added);
    }
    json_.Number("id", kMobileId + static_cast<std::int64_t>(items_));
    json_.Number("typeCode", type_code);
}

std::string FirefoxBackupWriter::NextGuid() {
    ++items_;
    std::string guid(12, 'A');
    // Four characters of the hotlist's seed, then eight of the item's number.
    std::uint64_t seed = seed_;
    for (std::size_t i = 0; i < 4; ++i, seed >>= 6) guid[i] = kGuidAlphabet[seed & 63];
    std::uint64_t number = items_;
    for (std::size_t i = 12; i-- > 4; number >>= 6) guid[i] = kGuidAlphabet[number & 63];
    return guid;
}

}  // namespace quarvo::formats
