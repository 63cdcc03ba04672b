// SPDX-License-Identifier: MIT
#include "notes_export_kind.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "quarvo/conversions/conversion_run.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/conversions/notes_export.h"

namespace quarvo {
namespace {

// In the order of NotesFormat's choices below.
constexpr std::array kChoices{
    ExportChoice{"Markdown files, one per note, in folders as Opera had them", true, "", ""},
    ExportChoice{"Evernote export (ENEX), the folders as tags", false, ".enex",
                 "Evernote export (*.enex)|*.enex"},
    ExportChoice{"Evernote exports, one per folder, in a folder", true, "", ""},
    ExportChoice{"One HTML page to read and print", false, ".html|.htm",
                 "Web page (*.html;*.htm)|*.html;*.htm"},
};
constexpr std::array kFormats{NotesFormat::kMarkdown, NotesFormat::kEnex,
                              NotesFormat::kEnexPerFolder, NotesFormat::kHtml};

enum Option { kKeepTrash, kReplace };
constexpr std::array kOptions{
    ExportOption{"Keep the notes in Opera's trash, in a folder of its own", false},
    ExportOption{"Replace a target folder that holds files, as a whole", false},
};

// The report for the program's box: its counts, and each warning with how
// often it was met. The notes it names are left to quarvo-convert --report:
// a box shows the system's code page, and note titles are UTF-8.
std::string Summary(const ConversionReport& report, const std::string& title) {
    std::string text = title + '\n';
    for (const auto& [label, n] : report.counts()) text += label + ": " + std::to_string(n) + '\n';
    for (const ConversionReport::Warning& warning : report.warnings())
        text += "Warning: " + warning.what + " (" + std::to_string(warning.times) +
                (warning.times == 1 ? " time)\n" : " times)\n");
    return text;
}

ExportResult Convert(const ExportRequest& request, const ExportProgress& progress,
                     const std::atomic<bool>& cancel) {
    NotesExportOptions options;
    options.format = kFormats.at(request.choice);
    options.keep_trash = request.options.at(kKeepTrash);
    options.replace = request.options.at(kReplace);
    ConversionRun run;
    run.notes = NotesJob(request.source, request.target, options);
    CheckConversionRun(run);
    ConversionReport report;
    std::int64_t written = 0;
    const NotesExportOutcome done = RunNotesExport(
        *run.notes, options, report, [&] { progress({++written}); }, [&] { return cancel.load(); });
    if (done.input_missing) throw EFOpenError(request.source, std::strerror(ENOENT));
    if (done.unsupported_version) throw Exception(std::string(kUnknownVersionMessage));
    const std::string count = std::to_string(done.notes) + (done.notes == 1 ? " note" : " notes");
    return {
        count + " exported.", Summary(report, count + " exported to " + request.target + ":"), {}};
}

}  // namespace

const ExportKind& NotesExportKind() {
    static const ExportKind kind{
        .caption = "Quarvo - [Export Opera notes]",
        .source_label = "Opera Notes-File",
        .source_filter = "Opera files (*.adr)|*.adr|All files (*.*)|*.*",
        .find_source =
            [](const OperaPlaces& places) { return FindOperaFile(places, OperaFile::Notes); },
        .item_marker = "#NOTE",
        .target_label = "Export to",
        .default_target = "Opera notes",
        .choices = kChoices,
        .options = kOptions,
        .convert = Convert,
    };
    return kind;
}

}  // namespace quarvo
