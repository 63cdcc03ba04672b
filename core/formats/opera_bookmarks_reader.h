// SPDX-License-Identifier: MIT
// The hotlist read line by line, as Opera reads it, one item at a time, for
// the browser flavour and the report, which stream it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/adr_lines.h"
#include "model/bookmark.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// The item each .adr entry holds. Texts are made UTF-8: in a file whose
// Options line names another encoding (`eight_bit`) every value is read as
// Windows-1252; elsewhere a value that is not valid UTF-8 is read as
// Windows-1252 and warned of in `report`, as are dates that are not
// numbers. Trash folders are kept, marked. Never fails.
class BookmarkEntryReader {
  public:
    BookmarkEntryReader(bool eight_bit, ConversionReport& report)
        : report_(report), eight_bit_(eight_bit) {}

    // Nothing for a folder end or an entry that is no hotlist item
    // (#DELETED, #CONTACT). The texts point into the entry's file or into
    // this reader, valid until the next call.
    [[nodiscard]] std::optional<model::BookmarkFields> Read(const AdrEntry& entry);

  private:
    std::string_view Text(std::string_view value, std::string& room, std::string_view place);
    std::optional<std::int64_t> Date(const AdrEntry& entry, std::string_view key,
                                     std::string_view place);

    ConversionReport& report_;
    const bool eight_bit_;
    // Where a value converted to UTF-8 is kept; a valid one is not copied.
    std::string name_;
    std::string url_;
    std::string description_;
    std::string short_name_;
};

// Seconds since 1970 or a personal-bar position: the digits `value` starts
// with, whatever follows them; nothing without any or with more than 18.
[[nodiscard]] std::optional<std::int64_t> LeadingNumber(std::string_view value);

// Whether the items' texts are Windows-1252 rather than UTF-8.
[[nodiscard]] inline bool HotlistIsEightBit(const AdrHeader& header) noexcept {
    return OptionsNameOtherEncoding(header.options);
}

// The warnings' texts, for the readers of the report.
inline constexpr std::string_view kInvalidBytesWarning = "bytes not valid in the file's encoding";
inline constexpr std::string_view kBadDateWarning = "dates that are not numbers";

}  // namespace quarvo::formats
