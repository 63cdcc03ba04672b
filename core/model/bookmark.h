// SPDX-License-Identifier: MIT
// The hotlist as a tree, as the writers of the newer bookmark files receive
// it. Texts are UTF-8 with Opera's 0x02 0x02 line-break pairs still inside;
// the writers decide what a line break becomes in their format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::model {

struct BookmarkItem {
    enum class Kind { kFolder, kBookmark, kSeparator };

    Kind kind = Kind::kBookmark;
    std::string name;
    std::string url;
    std::string description;
    std::string short_name;  // Opera's SHORT NAME: what browsers call a keyword
    // Seconds since 1970 from CREATED and VISITED; nothing when the key is
    // absent or holds no number.
    std::optional<std::int64_t> created;
    std::optional<std::int64_t> visited;
    // ON PERSONALBAR=YES, and PERSONALBAR_POS (nothing when absent or not a number).
    bool on_personal_bar = false;
    std::optional<std::int64_t> personal_bar_pos;
    bool is_trash = false;               // Opera's trash folder itself
    std::vector<BookmarkItem> children;  // a folder's items, in the file's order
};

// One item as a streaming reader hands it on, its texts views into the
// file or into the reader's own room, valid until the next item; a
// folder's items follow it, up to its end.
struct BookmarkFields {
    BookmarkItem::Kind kind = BookmarkItem::Kind::kBookmark;
    std::string_view name;
    std::string_view url;
    std::string_view description;
    std::string_view short_name;
    std::optional<std::int64_t> created;
    std::optional<std::int64_t> visited;
    bool on_personal_bar = false;
    std::optional<std::int64_t> personal_bar_pos;
    bool is_trash = false;
};

// The fields of an item read whole, its items not among them.
inline BookmarkFields FieldsOf(const BookmarkItem& item) {
    return {item.kind,
            item.name,
            item.url,
            item.description,
            item.short_name,
            item.created,
            item.visited,
            item.on_personal_bar,
            item.personal_bar_pos,
            item.is_trash};
}

// Visits the items below `folder` in the file's order, each with its depth
// (1 for the folder's own items); `visit` returns whether to go into the
// item's own items. Without recursion: a hotlist may nest folders a million
// deep.
template <class Visit>
void ForEachItem(const BookmarkItem& folder, Visit visit) {
    struct Place {
        const std::vector<BookmarkItem>* items;
        std::size_t next;
    };
    std::vector<Place> open{{&folder.children, 0}};
    while (!open.empty()) {
        Place& place = open.back();
        if (place.next == place.items->size()) {
            open.pop_back();
            continue;
        }
        const BookmarkItem& item = (*place.items)[place.next++];
        if (visit(item, open.size()) && !item.children.empty()) open.push_back({&item.children, 0});
    }
}

struct BookmarkTree {
    std::string version;  // the first line's hotlist version, empty without one
    BookmarkItem root;    // a folder without name or dates

    BookmarkTree() = default;
    BookmarkTree(BookmarkTree&&) noexcept = default;
    BookmarkTree& operator=(BookmarkTree&&) noexcept = default;
    BookmarkTree(const BookmarkTree&) = delete;
    BookmarkTree& operator=(const BookmarkTree&) = delete;
    // Taken apart item by item: the items' own destructors would recurse
    // once per folder level.
    ~BookmarkTree() {
        std::vector<BookmarkItem> pending = std::move(root.children);
        while (!pending.empty()) {
            BookmarkItem item = std::move(pending.back());
            pending.pop_back();
            for (BookmarkItem& child : item.children) pending.push_back(std::move(child));
        }
    }
};

}  // namespace quarvo::model
