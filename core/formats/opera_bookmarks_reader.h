// SPDX-License-Identifier: MIT
// The hotlist read line by line, as Opera reads it, into the bookmark tree
// that the browser flavour is written from.
#pragma once

#include <string_view>

#include "model/bookmark.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// Texts are made UTF-8: a file whose Options line names another encoding is
// read as Windows-1252 throughout; elsewhere a value that is not valid
// UTF-8 is read as Windows-1252 and warned of in `report`, as are dates
// that are not numbers. Trash folders are kept, marked. Never fails.
[[nodiscard]] model::BookmarkTree ReadOperaBookmarks(std::string_view hotlist,
                                                     ConversionReport& report);

// The warnings' texts, for the readers of the report.
inline constexpr std::string_view kInvalidBytesWarning = "bytes not valid in the file's encoding";
inline constexpr std::string_view kBadDateWarning = "dates that are not numbers";

}  // namespace quarvo::formats
