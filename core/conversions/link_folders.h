// SPDX-License-Identifier: MIT
// The folders the browser flavour writes after the hotlist's own items,
// read whole from Opera's other lists of links.
#pragma once

#include <vector>

#include "model/bookmark.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// "Speed Dial", "Sessions" (a folder per session file) and "Search
// engines", in that order, each only where `links` names its file. Throws
// EFOpenError naming a file that cannot be read.
[[nodiscard]] std::vector<model::BookmarkItem> ReadLinkFolders(const LinkSources& links,
                                                               ConversionReport& report);

}  // namespace quarvo
