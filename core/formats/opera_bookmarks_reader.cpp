// SPDX-License-Identifier: MIT
#include "formats/opera_bookmarks_reader.h"

#include "text/text_encoding.h"

namespace quarvo::formats {
namespace {

using model::BookmarkItem;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Five bytes Windows-1252 leaves undefined. One pass over the bytes: a
// search for any of a set would call memchr once per byte of a giant value.
bool HoldsUndefinedByte(std::string_view value) noexcept {
    for (const char c : value) {
        switch (static_cast<unsigned char>(c)) {
            case 0x81:
            case 0x8D:
            case 0x8F:
            case 0x90:
            case 0x9D:
                return true;
            default:
                break;
        }
    }
    return false;
}

std::optional<BookmarkItem::Kind> ItemKind(AdrEntry::Kind kind) {
    switch (kind) {
        case AdrEntry::Kind::kFolder:
            return BookmarkItem::Kind::kFolder;
        case AdrEntry::Kind::kUrl:
            return BookmarkItem::Kind::kBookmark;
        case AdrEntry::Kind::kSeparator:
            return BookmarkItem::Kind::kSeparator;
        case AdrEntry::Kind::kFolderEnd:
        case AdrEntry::Kind::kContact:
        case AdrEntry::Kind::kNote:
        case AdrEntry::Kind::kOther:  // #DELETED: nothing of a hotlist
            break;
    }
    return std::nullopt;
}

}  // namespace

// Opera 6 wrote a date out after its seconds ("904923783 (Fri Sep 04
// 17:43:03 1998)"), which is no fault. 18 digits always fit in 64 bits.
std::optional<std::int64_t> LeadingNumber(std::string_view value) {
    std::size_t digits = 0;
    while (digits < value.size() && IsDigit(value[digits])) ++digits;
    if (digits == 0 || digits > 18) return std::nullopt;
    std::int64_t n = 0;
    for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (value[i] - '0');
    return n;
}

std::optional<model::BookmarkFields> BookmarkEntryReader::Read(const AdrEntry& entry) {
    const auto kind = ItemKind(entry.kind);
    if (!kind) return std::nullopt;
    model::BookmarkFields item;
    item.kind = *kind;
    item.name = Text(entry.Value("NAME"), name_, {});
    const std::string_view place = item.name;
    item.url = Text(entry.Value("URL"), url_, place);
    item.description = Text(entry.Value("DESCRIPTION"), description_, place);
    item.short_name = Text(entry.Value("SHORT NAME"), short_name_, place);
    item.created = Date(entry, "CREATED", place);
    item.visited = Date(entry, "VISITED", place);
    item.on_personal_bar = entry.Value("ON PERSONALBAR") == "YES";
    item.personal_bar_pos = LeadingNumber(entry.Value("PERSONALBAR_POS"));
    item.is_trash = entry.Value("TRASH FOLDER") == "YES";
    return item;
}

// A value in UTF-8. `place` names the item for a warning; empty while the
// name itself is read, which then names itself.
std::string_view BookmarkEntryReader::Text(std::string_view value, std::string& room,
                                           std::string_view place) {
    if (eight_bit_) {
        room = Windows1252ToUtf8(value);
        // Kept, as the C1 controls browsers read them as, but named.
        if (HoldsUndefinedByte(value))
            report_.Warn(kInvalidBytesWarning, place.empty() ? std::string_view(room) : place);
        return room;
    }
    if (IsValidUtf8(value)) return value;
    room = Windows1252ToUtf8(value);
    report_.Warn(kInvalidBytesWarning, place.empty() ? std::string_view(room) : place);
    return room;
}

std::optional<std::int64_t> BookmarkEntryReader::Date(const AdrEntry& entry, std::string_view key,
                                                      std::string_view place) {
    if (!entry.Has(key)) return std::nullopt;
    const std::string_view value = entry.Value(key);
    const auto seconds = LeadingNumber(value);
    if (!seconds && !value.empty()) report_.Warn(kBadDateWarning, place);
    return seconds;
}

}  // namespace quarvo::formats
