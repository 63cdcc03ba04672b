// SPDX-License-Identifier: MIT
// The hotlist as a tree, as the writers of the newer bookmark files receive
// it. Texts are UTF-8 with Opera's 0x02 0x02 line-break pairs still inside;
// the writers decide what a line break becomes in their format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

struct BookmarkTree {
    std::string version;  // the first line's hotlist version, empty without one
    BookmarkItem root;    // a folder without name or dates
};

}  // namespace quarvo::model
