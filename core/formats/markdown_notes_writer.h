// SPDX-License-Identifier: MIT
// The note tree as a folder of Markdown files, one per note, in folders
// that mirror Opera's: a front matter of YAML (title, dates, source page)
// over the note's text, written so that a Markdown reader shows it as the
// user typed it. UTF-8, LF.
#pragma once

#include <string>
#include <string_view>

#include "formats/output_sinks.h"
#include "model/note.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// Writes the tree into `out`: each note as "<title>.md" in its folder, named
// as note_file_names.h says, with the file's modification time at the
// note's creation and each folder's at the newest of its notes (or its own
// creation). `step` is
// called once per note written.
void WriteMarkdownNotes(const model::NoteTree& tree, FolderSink& out, ConversionReport& report,
                        const ProgressSink& step);

// One note's file.
[[nodiscard]] std::string MarkdownNote(const model::NoteItem& note);

// `text` as Markdown that shows each line as it stands: every character
// that would start markup escaped, each line break kept, blanks at a
// line's start kept (as &nbsp;), empty lines kept.
[[nodiscard]] std::string MarkdownText(std::string_view text);

// `text` as a YAML double-quoted string, every character it cannot show
// as it is escaped.
[[nodiscard]] std::string YamlQuoted(std::string_view text);

inline constexpr std::string_view kTitlesRenamedCount = "titles renamed for their file names";
inline constexpr std::string_view kFoldersRenamedCount = "folder names changed for the file system";

}  // namespace quarvo::formats
