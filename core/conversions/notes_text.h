// SPDX-License-Identifier: MIT
// The notes conversion from bytes to a sink, apart from any file: what
// RunNotesExport does between reading the notes file and committing its
// output, for the tests and the fuzz target.
#pragma once

#include <string_view>

#include "formats/output_sinks.h"
#include "quarvo/conversions/notes_export.h"

namespace quarvo {

// Converts `notes` into `text` (ENEX, HTML) or `folder` (Markdown, ENEX per
// folder), as `options.format` asks; the other sink may be null. Counts and
// warns into `report`; `step` is called once per note written and may
// throw to stop. Writes nothing after an unsupported version.
NotesExportOutcome ConvertNotesText(std::string_view notes, const NotesExportOptions& options,
                                    formats::TextSink* text, formats::FolderSink* folder,
                                    ConversionReport& report, const ProgressSink& step = {});

}  // namespace quarvo
