// SPDX-License-Identifier: MIT
#include "mail_export_kind.h"

#include <array>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/shown_text.h"

namespace quarvo {
namespace {

// In the order of MailboxFormat's choices below.
constexpr std::array kChoices{
    ExportChoice{"One mbox file per account, in a folder", true, "", ""},
    ExportChoice{"One Maildir per account, in a folder", true, "", ""},
};
constexpr std::array kFormats{MailboxFormat::kMbox, MailboxFormat::kMaildir};

enum Option { kLfLineEnds };
constexpr std::array kOptions{
    ExportOption{"Make CR LF line ends LF, as mail programs on Linux expect", false},
};

// As MailProgress's phases.
constexpr std::array<std::string_view, 2> kStages{"Reading the mail store...",
                                                  "Writing the mailboxes..."};

std::string Counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// The mail folder as the search finds it, without the separator after it.
std::optional<std::string> FindMailFolder(const OperaPlaces& places) {
    std::optional<std::string> folder = FindOperaMailFolder(places);
    while (folder && folder->size() > 1 &&
           (folder->back() == '/' || folder->back() == kPathSeparator))
        folder->pop_back();
    return folder;
}

// Every warning with where it was met; the files that could not be read
// all of them, as the user will want to look at each.
std::string Details(const ConversionReport& report, const MailExportOutcome& done) {
    std::string text;
    for (const ConversionReport::Warning& warning : report.warnings()) {
        text += "Warning: " + warning.what + " (" + std::to_string(warning.times) +
                (warning.times == 1 ? " time)\n" : " times)\n");
        if (warning.what == kUnreadableMailFiles) {
            for (const std::string& file : done.unreadable) text += "    " + Shown(file) + '\n';
            continue;
        }
        for (const std::string& place : warning.places) text += "    " + place + '\n';
        if (warning.places.size() < warning.calls) text += "    ...\n";
    }
    return text;
}

ExportResult Convert(const ExportRequest& request, const ExportProgress& progress,
                     const std::atomic<bool>& cancel) {
    MailExportOptions options;
    options.format = kFormats.at(request.choice);
    options.lf_line_ends = request.options.at(kLfLineEnds);
    options.replace = request.replace;
    ConversionReport report;
    const MailExportOutcome done = ExportOperaMail(
        request.source, request.target, options, report,
        [&](const MailProgress& step) {
            progress({static_cast<std::int64_t>(step.done), static_cast<std::int64_t>(step.total),
                      step.phase == MailProgress::Phase::kReading ? 0u : 1u});
        },
        &cancel);
    if (done.cancelled) throw EConversionCancelled();

    const std::string count = Counted(done.messages, "message", "messages");
    std::string message = count + " in " + Counted(done.mailboxes, "mailbox", "mailboxes") +
                          " exported to " + request.target + ", the accounts' settings in " +
                          kAccountSheetName + ":\n";
    for (const auto& [label, n] : report.counts()) message += label + ": " + std::to_string(n) + '\n';
    if (!report.warnings().empty()) message += "\nWhat looked wrong, and where:";
    return {count + " exported.", message, Details(report, done)};
}

}  // namespace

const ExportKind& MailExportKind() {
    static const ExportKind kind{
        .caption = "Quarvo - [Export Opera mail]",
        .source_label = "Opera Mail-Folder",
        .source_folder = true,
        .find_source = FindMailFolder,
        .target_label = "Export to",
        .default_target = "Opera mail",
        .choices = kChoices,
        .options = kOptions,
        .ask_to_replace = true,
        .stages = kStages,
        .check = [](const ExportRequest& request) { CheckMailExport(request.source, request.target); },
        .convert = Convert,
    };
    return kind;
}

}  // namespace quarvo
