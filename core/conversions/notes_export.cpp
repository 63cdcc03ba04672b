// SPDX-License-Identifier: MIT
#include "quarvo/conversions/notes_export.h"

#include <optional>
#include <vector>

#include "conversions/notes_text.h"
#include "formats/adr_lines.h"
#include "formats/enex_writer.h"
#include "formats/markdown_notes_writer.h"
#include "formats/notes_html_writer.h"
#include "formats/opera_notes_reader.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_output.h"

namespace quarvo {
namespace {

using model::NoteItem;

constexpr std::string_view kSupportedVersion = "2.0";

bool EndsWithFolded(std::string_view name, std::string_view end) {
    if (name.size() < end.size()) return false;
    name.remove_prefix(name.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        const char c = name[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != end[i]) return false;
    }
    return true;
}

std::int32_t NotesBelow(const NoteItem& folder) {
    std::int32_t notes = 0;
    model::WalkNotes(
        folder,
        [&notes](const NoteItem& item, std::size_t) {
            if (item.kind == NoteItem::Kind::kNote) ++notes;
            return true;
        },
        [](const NoteItem&, std::size_t) {});
    return notes;
}

// Takes Opera's trash folders out of the tree unless they are kept,
// counting the notes they held.
void SettleTrash(NoteItem& root, bool keep, ConversionReport& report) {
    if (keep) return;
    std::vector<NoteItem*> folders{&root};
    while (!folders.empty()) {
        NoteItem& folder = *folders.back();
        folders.pop_back();
        std::vector<NoteItem>& items = folder.children;
        for (std::size_t i = 0; i < items.size();) {
            if (items[i].kind == NoteItem::Kind::kFolder && items[i].is_trash) {
                report.Count(kTrashNotesLeftOutCount, NotesBelow(items[i]));
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            if (items[i].kind == NoteItem::Kind::kFolder) folders.push_back(&items[i]);
            ++i;
        }
    }
}

// Counts what the tree holds; returns the notes.
std::int32_t CountItems(const NoteItem& root, ConversionReport& report) {
    std::int64_t notes = 0, folders = 0, separators = 0;
    model::WalkNotes(
        root,
        [&](const NoteItem& item, std::size_t) {
            notes += item.kind == NoteItem::Kind::kNote;
            folders += item.kind == NoteItem::Kind::kFolder;
            separators += item.kind == NoteItem::Kind::kSeparator;
            return true;
        },
        [](const NoteItem&, std::size_t) {});
    report.Count(kNotesCount, notes);
    report.Count(kNoteFoldersCount, folders);
    report.Count(kNoteSeparatorsCount, separators);
    return static_cast<std::int32_t>(notes);
}

class ReplacementSink final : public formats::TextSink {
  public:
    explicit ReplacementSink(FileReplacement& file) : file_(file) {}
    void Write(std::string_view piece) override { file_.Write(piece); }

  private:
    FileReplacement& file_;
};

// The notes' files in `folder` of the output folder, or at its top when
// `folder` is empty.
class FolderOutputSink final : public formats::FolderSink, private formats::TextSink {
  public:
    explicit FolderOutputSink(FolderOutput& output, std::string_view folder = {})
        : output_(output), prefix_(folder.empty() ? std::string() : std::string(folder) + "/") {}

    void MakeFolder(std::string_view relative) override { output_.MakeFolder(Inside(relative)); }
    formats::TextSink& BeginFile(std::string_view relative) override {
        file_.emplace(output_.NewFile(Inside(relative)));
        return *this;
    }
    void EndFile(std::optional<std::int64_t> modified) override {
        if (modified) file_->SetModificationTime(static_cast<std::time_t>(*modified));
        file_->Close();
        file_.reset();
    }
    void SetModificationTime(std::string_view relative, std::int64_t seconds) override {
        output_.SetModificationTime(Inside(relative), static_cast<std::time_t>(seconds));
    }

  private:
    void Write(std::string_view piece) override { file_->Write(piece); }
    std::string Inside(std::string_view relative) const { return prefix_ + std::string(relative); }

    FolderOutput& output_;
    std::string prefix_;
    std::optional<FolderOutput::File> file_;
};

class OutputFileSink final : public formats::TextSink {
  public:
    explicit OutputFileSink(FolderOutput::File file) : file_(std::move(file)) {}
    void Write(std::string_view piece) override { file_.Write(piece); }
    void Close() { file_.Close(); }

  private:
    FolderOutput::File file_;
};

// Steps `progress` and asks `cancel` between notes; a cancel throws.
ProgressSink CancellingStep(const ProgressSink& progress, const CancelCheck& cancel) {
    return [&progress, &cancel] {
        if (progress) progress();
        if (cancel && cancel()) throw EConversionCancelled();
    };
}

}  // namespace

NotesFormat NotesFormatForName(std::string_view output) noexcept {
    if (EndsWithFolded(output, ".enex")) return NotesFormat::kEnex;
    if (EndsWithFolded(output, ".html") || EndsWithFolded(output, ".htm"))
        return NotesFormat::kHtml;
    return NotesFormat::kMarkdown;
}

ConversionJob NotesJob(std::string input, std::string output, const NotesExportOptions& options) {
    return {std::move(input), std::move(output), WritesFolder(options.format)};
}

NotesExportOutcome ConvertNotesText(std::string_view notes, const NotesExportOptions& options,
                                    formats::TextSink* text, formats::FolderSink* folder,
                                    ConversionReport& report, const ProgressSink& step) {
    // The counts in the order the report shows them.
    for (std::string_view label :
         {kNotesCount, kNoteFoldersCount, kNoteSeparatorsCount, kTrashNotesLeftOutCount})
        report.Count(label, 0);
    model::NoteTree tree = formats::ReadOperaNotes(notes, report);
    if (!tree.version.empty() && tree.version != kSupportedVersion) return {0, false, true};
    SettleTrash(tree.root, options.keep_trash, report);
    const std::int32_t written = CountItems(tree.root, report);
    switch (options.format) {
        case NotesFormat::kMarkdown:
            formats::WriteMarkdownNotes(tree, *folder, report, step);
            break;
        case NotesFormat::kEnexPerFolder:
            formats::WriteEnexPerFolder(tree, *folder, report, step);
            break;
        case NotesFormat::kEnex:
            formats::WriteEnex(tree, *text, report, step);
            break;
        case NotesFormat::kHtml:
            formats::WriteNotesHtml(tree, *text, report, step);
            break;
    }
    return {written, false, false};
}

NotesExportOutcome RunNotesExport(const ConversionJob& job, const NotesExportOptions& options,
                                  ConversionReport& report, const ProgressSink& progress,
                                  const CancelCheck& cancel) {
    if (!PathExists(job.input)) return {0, true, false};
    const std::string notes = ReadWholeFile(job.input);
    const std::string_view version = formats::ReadAdrHeader(notes).version;
    if (!version.empty() && version != kSupportedVersion) return {0, false, true};
    // A cancel stops between two notes; the output, not yet committed, is
    // dropped as the exception leaves.
    const ProgressSink step = CancellingStep(progress, cancel);
    if (cancel && cancel()) throw EConversionCancelled();
    NotesExportOutcome outcome;
    if (WritesFolder(options.format)) {
        // The folder is checked before anything is read into it.
        FolderOutput folder(job.output, options.replace);
        FolderOutputSink sink(folder);
        outcome = ConvertNotesText(notes, options, nullptr, &sink, report, step);
        if (!outcome.unsupported_version) folder.Commit();
    } else {
        FileReplacement file(job.output);
        ReplacementSink sink(file);
        outcome = ConvertNotesText(notes, options, &sink, nullptr, report, step);
        if (!outcome.unsupported_version) file.Commit();
    }
    return outcome;
}

NotesExportOutcome WriteNotesInto(const std::string& input, FolderOutput& output,
                                  std::string_view relative, const NotesExportOptions& options,
                                  ConversionReport& report, const ProgressSink& progress,
                                  const CancelCheck& cancel) {
    const std::string notes = ReadWholeFile(input);
    const std::string_view version = formats::ReadAdrHeader(notes).version;
    if (!version.empty() && version != kSupportedVersion) return {0, false, true};
    const ProgressSink step = CancellingStep(progress, cancel);
    if (cancel && cancel()) throw EConversionCancelled();
    if (WritesFolder(options.format)) {
        output.MakeFolder(relative);
        FolderOutputSink sink(output, relative);
        return ConvertNotesText(notes, options, nullptr, &sink, report, step);
    }
    OutputFileSink sink(output.NewFile(relative));
    const NotesExportOutcome outcome =
        ConvertNotesText(notes, options, &sink, nullptr, report, step);
    sink.Close();
    return outcome;
}

}  // namespace quarvo
