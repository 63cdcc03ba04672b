// SPDX-License-Identifier: MIT
// The note tree as one HTML page to read and print: the notes outside any
// folder first, then each folder under a heading that names its path, each
// note with its date and the page it was taken from, its text as typed.
#pragma once

#include "formats/output_sinks.h"
#include "model/note.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo::formats {

// `step` is called once per note written. Only web and mail links
// (http, https, ftp, mailto) become links; any other source is shown as
// text, so that the page runs nothing when clicked.
void WriteNotesHtml(const model::NoteTree& tree, TextSink& out, ConversionReport& report,
                    const ProgressSink& step);

}  // namespace quarvo::formats
