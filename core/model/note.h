// SPDX-License-Identifier: MIT
// Opera's notes as a tree, as the notes writers receive it. Texts are UTF-8;
// a note's line breaks are '\n' (Opera wrote them as 0x02 0x02), so that
// each writer only decides what a line becomes in its format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::model {

struct NoteItem {
    enum class Kind { kFolder, kNote, kSeparator };

    Kind kind = Kind::kNote;
    // A note's whole text, its title being the first line; a folder's name.
    std::string text;
    std::string url;  // the page a note was taken from
    // Seconds since 1970 from CREATED; nothing when absent or no number.
    std::optional<std::int64_t> created;
    bool is_trash = false;           // Opera's trash folder itself
    std::vector<NoteItem> children;  // a folder's items, in the file's order
};

// A note's title: its first line without the blanks around it.
[[nodiscard]] inline std::string_view NoteTitle(std::string_view text) {
    const std::string_view line = text.substr(0, text.find('\n'));
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
}

// Walks the items below `folder` in the file's order without recursion (a
// file may nest folders a million deep). `enter(item, depth)` sees every
// item, depth 1 for the folder's own; for a folder it returns whether to
// go into it, and `leave(folder, depth)` follows once its items are done.
template <class Enter, class Leave>
void WalkNotes(const NoteItem& folder, Enter enter, Leave leave) {
    struct Place {
        const NoteItem* folder;
        std::size_t next;
    };
    std::vector<Place> open{{&folder, 0}};
    while (!open.empty()) {
        Place& place = open.back();
        if (place.next == place.folder->children.size()) {
            const NoteItem* done = place.folder;
            open.pop_back();
            if (!open.empty()) leave(*done, open.size());
            continue;
        }
        const NoteItem& item = place.folder->children[place.next++];
        if (enter(item, open.size()) && item.kind == NoteItem::Kind::kFolder)
            open.push_back({&item, 0});
    }
}

struct NoteTree {
    std::string version;  // the first line's hotlist version, empty without one
    NoteItem root;        // a folder without name or date

    NoteTree() { root.kind = NoteItem::Kind::kFolder; }
    NoteTree(NoteTree&&) noexcept = default;
    NoteTree& operator=(NoteTree&&) noexcept = default;
    NoteTree(const NoteTree&) = delete;
    NoteTree& operator=(const NoteTree&) = delete;
    // Taken apart item by item: the items' own destructors would recurse
    // once per folder level.
    ~NoteTree() {
        std::vector<NoteItem> pending = std::move(root.children);
        while (!pending.empty()) {
            NoteItem item = std::move(pending.back());
            pending.pop_back();
            for (NoteItem& child : item.children) pending.push_back(std::move(child));
        }
    }
};

}  // namespace quarvo::model
