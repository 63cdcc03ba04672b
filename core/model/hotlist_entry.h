// SPDX-License-Identifier: MIT
// One entry of an Opera hotlist, as every bookmark writer receives it.
#pragma once

#include <string_view>

namespace quarvo::model {

// What an entry is, by the markers it holds anywhere, and the values of its
// keys as the file holds them (slices of the file's text). An entry may hold
// several markers and is then each of these kinds, in the order of the
// fields. A key the entry lacks gives an empty value; nothing is filled in
// from another value (a bookmark without VISITED= keeps it empty).
struct HotlistEntry {
    bool folder = false;       // holds "#FOLDER"
    bool bookmark = false;     // holds "#URL"
    bool separator = false;    // holds "#SEPERATOR"
    bool folder_end = false;   // is exactly "-"
    std::string_view name;     // NAME=
    std::string_view url;      // URL=
    std::string_view created;  // CREATED=
    std::string_view visited;  // VISITED=
};

}  // namespace quarvo::model
