// SPDX-License-Identifier: MIT
#include "formats/opera_bookmarks_reader.h"

#include <optional>
#include <string>
#include <vector>

#include "formats/adr_lines.h"
#include "text/text_encoding.h"

namespace quarvo::formats {
namespace {

using model::BookmarkItem;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Seconds since 1970 are the digits a date starts with, whatever follows
// them: Opera 6 wrote the date out after them ("904923783 (Fri Sep 04
// 17:43:03 1998)"), which is no fault. 18 digits always fit in 64 bits.
std::optional<std::int64_t> LeadingNumber(std::string_view value) {
    std::size_t digits = 0;
    while (digits < value.size() && IsDigit(value[digits])) ++digits;
    if (digits == 0 || digits > 18) return std::nullopt;
    std::int64_t n = 0;
    for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (value[i] - '0');
    return n;
}

class TreeBuilder {
  public:
    TreeBuilder(const AdrFile& file, ConversionReport& report)
        : report_(report), eight_bit_(OptionsNameOtherEncoding(file.options)) {}

    model::BookmarkTree Build(const AdrFile& file) {
        model::BookmarkTree tree;
        tree.version = std::string(file.version);
        std::vector<BookmarkItem*> open{&tree.root};
        for (const AdrEntry& entry : file.entries) {
            BookmarkItem& folder = *open.back();
            switch (entry.kind) {
                case AdrEntry::Kind::kFolder:
                    folder.children.push_back(Item(entry, BookmarkItem::Kind::kFolder));
                    // Only the innermost open folder grows, so the pointer holds.
                    open.push_back(&folder.children.back());
                    break;
                case AdrEntry::Kind::kUrl:
                    folder.children.push_back(Item(entry, BookmarkItem::Kind::kBookmark));
                    break;
                case AdrEntry::Kind::kSeparator:
                    folder.children.push_back(Item(entry, BookmarkItem::Kind::kSeparator));
                    break;
                case AdrEntry::Kind::kFolderEnd:
                    if (open.size() > 1) open.pop_back();
                    break;
                case AdrEntry::Kind::kContact:
                case AdrEntry::Kind::kNote:
                case AdrEntry::Kind::kOther:  // #DELETED: nothing of a hotlist
                    break;
            }
        }
        return tree;
    }

  private:
    BookmarkItem Item(const AdrEntry& entry, BookmarkItem::Kind kind) {
        BookmarkItem item;
        item.kind = kind;
        item.name = Text(entry.Value("NAME"));
        const std::string& place = item.name;
        item.url = Text(entry.Value("URL"), place);
        item.description = Text(entry.Value("DESCRIPTION"), place);
        item.short_name = Text(entry.Value("SHORT NAME"), place);
        item.created = Date(entry, "CREATED", place);
        item.visited = Date(entry, "VISITED", place);
        item.on_personal_bar = entry.Value("ON PERSONALBAR") == "YES";
        item.personal_bar_pos = LeadingNumber(entry.Value("PERSONALBAR_POS"));
        item.is_trash = entry.Value("TRASH FOLDER") == "YES";
        return item;
    }

    // A value in UTF-8. `place` names the item for a warning; empty while
    // the name itself is read, which then names itself.
    std::string Text(std::string_view value, std::string_view place = {}) {
        if (eight_bit_) {
            std::string text = Windows1252ToUtf8(value);
            // Five bytes the code page leaves undefined: kept, as the C1
            // controls browsers read them as, but named.
            if (value.find_first_of("\x81\x8D\x8F\x90\x9D") != std::string_view::npos)
                report_.Warn(kInvalidBytesWarning, place.empty() ? std::string_view(text) : place);
            return text;
        }
        if (IsValidUtf8(value)) return std::string(value);
        std::string text = Windows1252ToUtf8(value);
        report_.Warn(kInvalidBytesWarning, place.empty() ? std::string_view(text) : place);
        return text;
    }

    std::optional<std::int64_t> Date(const AdrEntry& entry, std::string_view key,
                                     std::string_view place) {
        if (!entry.Has(key)) return std::nullopt;
        const std::string_view value = entry.Value(key);
        const auto seconds = LeadingNumber(value);
        if (!seconds && !value.empty()) report_.Warn(kBadDateWarning, place);
        return seconds;
    }

    ConversionReport& report_;
    const bool eight_bit_;
};

}  // namespace

model::BookmarkTree ReadOperaBookmarks(std::string_view hotlist, ConversionReport& report) {
    const AdrFile file = ReadAdrLines(hotlist);
    return TreeBuilder(file, report).Build(file);
}

}  // namespace quarvo::formats
