// SPDX-License-Identifier: MIT
// The note tree as Evernote's export format (ENEX), which Evernote, Joplin,
// Obsidian's importer and Notesnook read: one <note> per note, its text as
// ENML (one <div> per line), its dates, its source page, and the folders it
// sits in as tags.
#pragma once

#include "formats/output_sinks.h"
#include "model/note.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// Writes every note of `tree` into one ENEX document. `step` is called
// once per note written.
void WriteEnex(const model::NoteTree& tree, TextSink& out, ConversionReport& report,
               const ProgressSink& step);

// Writes one ENEX document per folder that holds notes, each file named
// after the folder's path (the notes outside any folder in
// "Opera notes.enex"): an importer makes a notebook of each file.
void WriteEnexPerFolder(const model::NoteTree& tree, FolderSink& out, ConversionReport& report,
                        const ProgressSink& step);

// A note's title as Evernote takes it: one line, no blanks at its ends, at
// most 255 characters, never empty.
[[nodiscard]] std::string EnexTitle(const model::NoteItem& note);

inline constexpr std::string_view kTopNotebookName = "Opera notes";
inline constexpr std::string_view kTitlesChangedCount = "titles shortened or made up";

}  // namespace quarvo::formats
