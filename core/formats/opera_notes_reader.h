// SPDX-License-Identifier: MIT
// Opera's notes file (notes.adr) read line by line, as Opera reads it, into
// the note tree the notes writers are written from. The file is the
// hotlist's container: #NOTE entries whose NAME is the whole text, #FOLDER,
// #SEPERATOR and "-" closing a folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/note.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// Texts are made UTF-8 as the browser flavour makes them (a file whose
// Options line names another encoding, or a value that is not UTF-8, is
// read as Windows-1252). Opera's line breaks, the byte pairs 0x02 0x02,
// become '\n'; a lone 0x02 does too, and is warned of. Folder names keep
// one line, a break becoming a blank. Trash folders are kept, marked; the
// separators too. Never fails.
[[nodiscard]] model::NoteTree ReadOperaNotes(std::string_view notes, ConversionReport& report);

// Seconds since 1970 are the digits a date starts with, whatever follows
// them (Opera 6 wrote the date out after them); nothing without digits.
[[nodiscard]] std::optional<std::int64_t> LeadingSeconds(std::string_view value) noexcept;

inline constexpr std::string_view kLoneBreakWarning =
    "lone 0x02 bytes (Opera writes a line break as two), read as line breaks";
// As the browser flavour words them.
inline constexpr std::string_view kNotUtf8Warning = "bytes not valid in the file's encoding";
inline constexpr std::string_view kNoDateWarning = "dates that are not numbers";
inline constexpr std::string_view kFarDateWarning = "dates past the year 9999, left out";

}  // namespace quarvo::formats
