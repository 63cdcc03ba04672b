// SPDX-License-Identifier: MIT
// Opera hotlist (opera6.adr, "Opera Hotlist version 2.0") to a Netscape
// bookmark file that browsers import.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quarvo/base/callbacks.h"
#include "quarvo/formats/file_texts.h"

namespace quarvo {

// Shown when an entry names a hotlist version other than 2.0.
inline constexpr std::string_view kUnknownVersionMessage =
    "Opera Hotlist File Version unknown - can not continue ...";

// The result of ConvertOperaBookmarks after an unsupported version.
inline constexpr std::int32_t kUnsupportedHotlistVersion = -1;

struct BookmarksConversion {
    std::string html;            // the whole bookmark file
    std::int32_t bookmarks = 0;  // entries holding "#URL"
};

// Converts the bytes of a hotlist. `progress` (may be empty) is called once
// per bookmark. Returns nothing when an entry names a version other than 2.0.
[[nodiscard]] std::optional<BookmarksConversion> ConvertHotlistText(
    std::string_view hotlist, const ProgressSink& progress = {});

// Sees the hotlist's bytes as they were converted and the number of
// bookmarks written, before the bookmark file is put in place.
using ConvertedHotlistSink = std::function<void(std::string_view hotlist, std::int32_t bookmarks)>;

// Reads `hotlist_path`, converts it and writes the bookmark file. Returns the
// number of bookmarks, or kUnsupportedHotlistVersion after showing
// kUnknownVersionMessage through `message`; the output file is then left as
// it was. `converted` (may be empty) is called unless the version is
// unsupported; what it throws leaves the output as it was. File errors
// propagate; a missing or unreadable hotlist is an EFOpenError and leaves
// the output untouched. Callers that take a missing file as nothing to
// convert use RunBookmarksConversion (conversion_run.h).
std::int32_t ConvertOperaBookmarks(const std::string& hotlist_path, const std::string& html_path,
                                   const ProgressSink& progress = {},
                                   const MessageSink& message = {},
                                   const ConvertedHotlistSink& converted = {});

namespace detail {

// ConvertHotlistText with its text cut in two near offset `near` (not at all
// when `near` lies past the end) and the parts converted side by side. Large
// texts are cut halfway; tests cut anywhere.
[[nodiscard]] std::optional<BookmarksConversion> ConvertHotlistTextCutNear(
    std::string_view hotlist, std::size_t near, const ProgressSink& progress = {});

}  // namespace detail

}  // namespace quarvo
