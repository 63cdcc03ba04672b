// SPDX-License-Identifier: MIT
// Opera's notes (notes.adr) out: a folder of Markdown files, an Evernote
// export (ENEX, one file or one per folder), or one HTML page to read and
// print. The notes in Opera's trash are left out unless asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quarvo/base/callbacks.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/files/folder_output.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

enum class NotesFormat { kMarkdown, kEnex, kEnexPerFolder, kHtml };

// The format an output's name asks for: a name ending in ".enex" gets ENEX,
// ".html" or ".htm" the page (in any case), any other a Markdown folder.
[[nodiscard]] NotesFormat NotesFormatForName(std::string_view output) noexcept;

// Whether the format writes a folder rather than a file.
[[nodiscard]] constexpr bool WritesFolder(NotesFormat format) noexcept {
    return format == NotesFormat::kMarkdown || format == NotesFormat::kEnexPerFolder;
}

struct NotesExportOptions {
    NotesFormat format = NotesFormat::kMarkdown;
    // The notes of Opera's trash go into a folder of the trash's name.
    bool keep_trash = false;
    // A folder output may replace a folder with files in it, as a whole.
    bool replace = false;
};

struct NotesExportOutcome {
    std::int32_t notes = 0;  // notes written
    // The input file does not exist: nothing was read or written.
    bool input_missing = false;
    // The first line names a hotlist version other than 2.0: nothing was
    // written (kUnknownVersionMessage, as for the hotlist).
    bool unsupported_version = false;
};

// The job of a notes export, for CheckConversionRun.
[[nodiscard]] ConversionJob NotesJob(std::string input, std::string output,
                                     const NotesExportOptions& options);

// Reads `job.input` and writes `job.output` in `options.format`, counting
// into `report` what was written and left out ("notes", "folders", ...)
// and warning of what looked wrong. The output appears whole or not at
// all: a file through FileReplacement, a folder through FolderOutput, so a
// failure, a signal or a cancel leaves what was there before. A missing
// input writes nothing. `progress` steps once per note written; `cancel`
// is asked between notes (EConversionCancelled). Throws the file layer's
// errors; an existing folder with files in it is refused unless `replace`.
// The caller checks the run first (CheckConversionRun).
NotesExportOutcome RunNotesExport(const ConversionJob& job, const NotesExportOptions& options,
                                  ConversionReport& report, const ProgressSink& progress = {},
                                  const CancelCheck& cancel = {});

// As RunNotesExport, into `relative` (a folder for the folder formats, a
// file for the others) of an output folder that the caller checks and
// commits, for an export of several kinds into one folder. The input must
// exist. Throws the file layer's errors and EConversionCancelled.
NotesExportOutcome WriteNotesInto(const std::string& input, FolderOutput& output,
                                  std::string_view relative, const NotesExportOptions& options,
                                  ConversionReport& report, const ProgressSink& progress = {},
                                  const CancelCheck& cancel = {});

// The report's labels.
inline constexpr std::string_view kNotesCount = "notes";
inline constexpr std::string_view kNoteFoldersCount = "folders";
inline constexpr std::string_view kNoteSeparatorsCount = "separators (nothing written)";
inline constexpr std::string_view kTrashNotesLeftOutCount = "notes in the trash left out";

}  // namespace quarvo
