// SPDX-License-Identifier: MIT
#include "quarvo/conversions/mail_export.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "formats/account_sheet_writer.h"
#include "formats/file_names.h"
#include "formats/maildir_writer.h"
#include "formats/mbox_writer.h"
#include "formats/opera_ini.h"
#include "formats/opera_mail_settings.h"
#include "formats/opera_mail_store.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_output.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunkBytes = 1 << 20;
constexpr std::size_t kLongestSignature = 64 * 1024;
constexpr std::size_t kLongestFromLine = 4096;

std::string Joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != kPathSeparator)
        path += kPathSeparator;
    for (const char c : name) path += c == '/' ? kPathSeparator : c;
    return path;
}

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// What Opera's mail folder holds besides the messages.
struct MailSettings {
    bool accounts_read = false;
    formats::OperaAccounts accounts;
    std::vector<model::MailView> views;
};

MailSettings ReadSettings(const std::string& mail_folder, ConversionReport& report) {
    MailSettings settings;
    const std::string accounts = Joined(mail_folder, "accounts.ini");
    if (PathExists(accounts)) {
        settings.accounts = formats::ReadOperaAccountsFile(accounts);
        settings.accounts_read = true;
    }
    const std::string index = Joined(mail_folder, "index.ini");
    if (PathExists(index)) {
        try {
            settings.views = formats::ReadOperaMailViews(ReadWholeFile(index));
        } catch (const Exception& error) {
            // Only the sheet's list of views needs it.
            report.Warn("index.ini could not be read: the sheet lists no views", error.what());
        }
    }
    return settings;
}

// The name a mailbox is known by: its account's, "Drafts", or its folder's.
std::string MailboxName(const model::StoreMailbox& box, const formats::OperaAccounts& accounts) {
    for (const model::MailAccount& account : accounts.accounts) {
        if (!formats::SameLetters(box.folder, "account" + std::to_string(account.number))) continue;
        for (const std::string_view key : {"Account Name", "Email"})
            if (!account.Setting(key).empty()) return std::string(account.Setting(key));
    }
    if (formats::SameLetters(box.folder, "drafts")) return "Drafts";
    return box.folder.empty() ? "Mail" : box.folder;
}

formats::StoreReading ReadStore(const std::string& store, const MailProgressSink& progress,
                                const std::atomic<bool>* cancel) {
    if (!PathExists(store)) return {};
    return formats::ReadOperaMailStore(store, [&](std::size_t done, std::size_t total) {
        if (progress) progress({MailProgress::Phase::kReading, done, total});
        return Cancelled(cancel);
    });
}

// `folder` without separators at its end, but a root's: Windows finds no
// folder under a name that ends in one.
std::string WithoutEndSeparator(std::string folder) {
    const auto separator = [](char c) { return c == '/' || c == kPathSeparator; };
    const std::size_t root = folder.size() > 1 && folder[1] == ':' ? 3 : 1;
    while (folder.size() > root && separator(folder.back())) folder.pop_back();
    return folder;
}

void CheckIsMailFolder(const std::string& mail_folder) {
    if (!PathExists(WithoutEndSeparator(mail_folder)))
        throw EFOpenError(mail_folder, "No such file or directory");
    if (!PathExists(Joined(mail_folder, "accounts.ini")) &&
        !PathExists(Joined(mail_folder, "store")))
        throw EFOpenError(mail_folder,
                          "not an Opera mail folder: it has no accounts.ini and no store folder");
}

// A folder value of Opera's ini files: "{Preferences}mail/signature1.txt"
// names a file beside the mail folder, in the folder that holds it.
std::vector<std::string> SignatureCandidates(const std::string& mail_folder,
                                             std::string_view value) {
    if (!value.starts_with('{')) return {std::string(value)};
    const std::size_t close = value.find('}');
    if (close == std::string_view::npos) return {std::string(value)};
    const std::string_view rest = value.substr(close + 1);
    const fs::path mail(mail_folder);
    std::vector<std::string> candidates;
    candidates.push_back(Joined(mail.parent_path().string(), rest));
    if (rest.starts_with("mail/")) candidates.push_back(Joined(mail_folder, rest.substr(5)));
    return candidates;
}

std::vector<formats::SheetSignature> ReadSignatures(const std::string& mail_folder,
                                                    const formats::OperaAccounts& accounts) {
    std::vector<formats::SheetSignature> signatures;
    for (const model::MailAccount& account : accounts.accounts) {
        const std::string_view value = account.Setting("Signature File");
        if (value.empty()) continue;
        formats::SheetSignature signature{account.number, std::nullopt, {}};
        const std::vector<std::string> candidates = SignatureCandidates(mail_folder, value);
        for (const std::string& candidate : candidates) {
            if (!PlainFileExists(candidate)) continue;
            try {
                std::string text = ReadWholeFile(candidate);
                if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
                if (text.size() > kLongestSignature) text.resize(kLongestSignature);
                signature.text = std::move(text);
            } catch (const Exception& error) {
                signature.note = error.what();
            }
            break;
        }
        if (!signature.text && signature.note.empty())
            signature.note = "no signature file at " + candidates.front();
        signatures.push_back(std::move(signature));
    }
    return signatures;
}

// Copies the messages of one mailbox into its file or folder of the output.
class MailboxCopier {
  public:
    MailboxCopier(const std::string& store, const MailExportOptions& options,
                  const MailProgressSink& progress, std::uint64_t total)
        : store_(store),
          options_(options),
          progress_(progress),
          total_(total),
          chunk_(new char[kChunkBytes]) {}

    // Returns false when cancelled.
    bool Mbox(FolderOutput& output, const std::string& file_name, const model::StoreMailbox& box,
              const std::atomic<bool>* cancel) {
        FolderOutput::File file = output.NewFile(file_name);
        for (const model::StoredMessage& message : box.messages) {
            if (Cancelled(cancel)) return false;
            CopyToMbox(file, box, message);
        }
        Flush(file);
        file.Close();
        return true;
    }

    bool Maildir(FolderOutput& output, const std::string& folder, const model::StoreMailbox& box,
                 const std::atomic<bool>* cancel) {
        output.MakeFolder(folder);
        for (const char* part : {"/cur", "/new", "/tmp"}) output.MakeFolder(folder + part);
        const bool drafts = formats::SameLetters(box.folder, "drafts");
        for (const model::StoredMessage& message : box.messages) {
            if (Cancelled(cancel)) return false;
            const std::string name =
                folder + "/" + formats::MaildirMessageName(message.date, ++serial_, drafts);
            FolderOutput::File file = output.NewFile(name);
            formats::MessageFilter filter(false, options_.lf_line_ends);
            CopyBytes(file, box, message, filter);
            filter.Finish(buffer_);
            Flush(file);
            file.Close();
            output.SetModificationTime(name, message.date);
        }
        return true;
    }

  private:
    FileReading& Open(const model::StoreMailbox& box, const model::StoredMessage& message) {
        const std::string name = Joined(store_, box.files[message.file]);
        if (!input_ || name != input_name_) {
            input_.reset();
            try {
                input_ = std::make_unique<FileReading>(name);
            } catch (const Exception& error) {
                throw EFOpenError(name, error.what());
            }
            input_name_ = name;
        }
        return *input_;
    }

    void Read(std::uint64_t offset, std::size_t bytes) {
        try {
            input_->ReadAt(offset, chunk_.get(), bytes);
        } catch (const Exception& error) {
            // The store changed since it was read (Opera running meanwhile).
            throw EFOpenError(input_name_, error.what());
        }
    }

    void CopyToMbox(FolderOutput::File& file, const model::StoreMailbox& box,
                    const model::StoredMessage& message) {
        Open(box, message);
        // Opera's own line gives the sender and the line end for the separator.
        std::string line_end = options_.lf_line_ends ? "\n" : "";
        std::string sender;
        std::int64_t time = message.date;
        if (message.body > message.start) {
            const auto bytes = static_cast<std::size_t>(
                std::min<std::uint64_t>(message.body - message.start, kLongestFromLine));
            Read(message.start, bytes);
            const std::string_view line(chunk_.get(), bytes);
            if (const auto from = formats::ParseOperaFromLine(line)) {
                sender = std::string(from->sender);
                time = from->seconds;
            }
            if (line_end.empty()) line_end = line.ends_with("\r\n") ? "\r\n" : "\n";
        }
        if (line_end.empty()) line_end = FirstLineEnd(message);
        buffer_ += formats::MboxSeparator(sender, time, line_end);
        formats::MessageFilter filter(true, options_.lf_line_ends);
        CopyBytes(file, box, message, filter);
        if (!filter.Finish(buffer_)) buffer_ += line_end;
        buffer_ += line_end;
        if (buffer_.size() >= kChunkBytes) Flush(file);
    }

    // The line end of a message's first line, for a message without Opera's line.
    std::string FirstLineEnd(const model::StoredMessage& message) {
        const auto bytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(message.end - message.body, kLongestFromLine));
        Read(message.body, bytes);
        const std::string_view head(chunk_.get(), bytes);
        const std::size_t newline = head.find('\n');
        return newline != std::string_view::npos && newline > 0 && head[newline - 1] == '\r'
                   ? "\r\n"
                   : "\n";
    }

    void CopyBytes(FolderOutput::File& file, const model::StoreMailbox& box,
                   const model::StoredMessage& message, formats::MessageFilter& filter) {
        Open(box, message);
        for (std::uint64_t offset = message.body; offset < message.end;) {
            const auto bytes = static_cast<std::size_t>(
                std::min<std::uint64_t>(message.end - offset, kChunkBytes));
            Read(offset, bytes);
            filter.Feed(std::string_view(chunk_.get(), bytes), buffer_);
            offset += bytes;
            done_ += bytes;
            if (buffer_.size() >= kChunkBytes) Flush(file);
            if (progress_) progress_({MailProgress::Phase::kWriting, done_, total_});
        }
    }

    void Flush(FolderOutput::File& file) {
        file.Write(buffer_);
        buffer_.clear();
    }

    const std::string& store_;
    const MailExportOptions& options_;
    const MailProgressSink& progress_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    std::uint64_t serial_ = 0;
    std::unique_ptr<char[]> chunk_;
    std::string buffer_;
    std::unique_ptr<FileReading> input_;
    std::string input_name_;
};

void ReportStore(const formats::StoreReading& reading, ConversionReport& report) {
    std::size_t unreadable = 0;
    for (const formats::StoreProblem& problem : reading.unreadable) {
        ++unreadable;
        report.Warn(kUnreadableMailFiles, problem.file + ": " + problem.reason);
    }
    report.Count(kUnreadableMailFiles, static_cast<std::int64_t>(unreadable));
    report.Count(".mbs files holding no message", static_cast<std::int64_t>(reading.empty.size()));
    for (const std::string& file : reading.empty)
        report.Warn(".mbs files holding no message", file);
    report.Count("files holding several messages",
                 static_cast<std::int64_t>(reading.files_with_several));
    if (reading.undated > 0) {
        const std::string what =
            "messages whose Date header gives no date, placed by the time Opera stored them";
        for (std::size_t i = 0; i < reading.undated; ++i)
            report.Warn(what, i < reading.undated_files.size()
                                  ? std::string_view(reading.undated_files[i])
                                  : std::string_view());
    }
}

bool Inside(const fs::path& inner, const fs::path& outer) {
    std::error_code error;
    for (fs::path p = inner; !p.empty(); p = p.parent_path()) {
        if (fs::exists(p, error) && fs::equivalent(p, outer, error)) return true;
        if (p == p.parent_path()) break;
    }
    return false;
}

}  // namespace

void CheckMailExport(const std::string& mail_folder, const std::string& output_folder) {
    std::error_code error;
    const fs::path mail = fs::weakly_canonical(fs::absolute(mail_folder, error), error);
    const fs::path output = fs::weakly_canonical(fs::absolute(output_folder, error), error);
    if (!fs::exists(mail, error)) return;  // the export names the missing folder itself
    if (Inside(output, mail))
        throw ESameFileError("Output folder " + output_folder +
                             " is or lies inside the mail folder " + mail_folder +
                             ": nothing converted");
    if (Inside(mail, output))
        throw ESameFileError("Output folder " + output_folder + " holds the mail folder " +
                             mail_folder + ": nothing converted");
}

void CheckMailExport(const std::string& mail_folder, const std::string& output_folder,
                     const ConversionRun& run) {
    CheckMailExport(mail_folder, output_folder);
    std::error_code error;
    const fs::path mail = fs::weakly_canonical(fs::absolute(mail_folder, error), error);
    const fs::path output = fs::weakly_canonical(fs::absolute(output_folder, error), error);
    for (const std::optional<ConversionJob>* job : {&run.contacts, &run.bookmarks}) {
        if (!*job) continue;
        for (const std::string* file : {&(*job)->input, &(*job)->output}) {
            if (file->empty()) continue;
            const fs::path path = fs::weakly_canonical(fs::absolute(*file, error), error);
            if (Inside(path, output))
                throw ESameFileError("File " + *file + " lies in the output folder " +
                                     output_folder + ": nothing converted");
            if (file == &(*job)->output && Inside(path, mail))
                throw ESameFileError("Output file " + *file + " lies in the mail folder " +
                                     mail_folder + ": nothing converted");
        }
    }
}

MailExportOutcome ExportOperaMail(const std::string& mail_folder, const std::string& output_folder,
                                  const MailExportOptions& options, ConversionReport& report,
                                  const MailProgressSink& progress,
                                  const std::atomic<bool>* cancel) {
    CheckMailExport(mail_folder, output_folder);
    CheckIsMailFolder(mail_folder);
    FolderOutput output(output_folder, options.replace);
    MailExportOutcome outcome =
        WriteOperaMail(mail_folder, output, "", options, report, progress, cancel);
    if (!outcome.cancelled) output.Commit();
    return outcome;
}

MailExportOutcome WriteOperaMail(const std::string& mail_folder, FolderOutput& output,
                                 std::string_view folder, const MailExportOptions& options,
                                 ConversionReport& report, const MailProgressSink& progress,
                                 const std::atomic<bool>* cancel) {
    CheckIsMailFolder(mail_folder);
    const std::string prefix = folder.empty() ? std::string() : std::string(folder) + "/";
    if (!prefix.empty()) output.MakeFolder(folder);
    const MailSettings settings = ReadSettings(mail_folder, report);
    const std::string store = Joined(mail_folder, "store");
    const formats::StoreReading reading = ReadStore(store, progress, cancel);
    MailExportOutcome outcome;
    if (Cancelled(cancel)) return {true, 0, 0, {}};
    for (const formats::StoreProblem& problem : reading.unreadable)
        outcome.unreadable.push_back(problem.file + ": " + problem.reason);

    formats::AccountSheet sheet;
    sheet.mail_folder = mail_folder;
    sheet.accounts_read = settings.accounts_read;
    sheet.accounts = settings.accounts;
    sheet.views = settings.views;
    sheet.signatures = ReadSignatures(mail_folder, settings.accounts);
    sheet.maildir = options.format == MailboxFormat::kMaildir;

    formats::UniqueNames names;
    names.Reserve(kAccountSheetName);
    MailboxCopier copier(store, options, progress, reading.bytes);
    for (const model::StoreMailbox& box : reading.mailboxes) {
        const std::string base = formats::SafeFileName(MailboxName(box, settings.accounts),
                                                       box.folder.empty() ? "Mail" : box.folder);
        const bool maildir = options.format == MailboxFormat::kMaildir;
        const std::string written = names.Take(base, maildir ? "" : ".mbox");
        const bool done = maildir ? copier.Maildir(output, prefix + written, box, cancel)
                                  : copier.Mbox(output, prefix + written, box, cancel);
        if (!done) return {true, 0, 0, {}};
        sheet.mailboxes.push_back({box.folder, written, box.messages.size()});
        ++outcome.mailboxes;
        outcome.messages += box.messages.size();
    }
    output.WriteFile(prefix + kAccountSheetName, formats::WriteAccountSheet(sheet));
    if (Cancelled(cancel)) return {true, 0, 0, {}};

    report.Count("mailboxes written", static_cast<std::int64_t>(outcome.mailboxes));
    report.Count("messages written", static_cast<std::int64_t>(outcome.messages));
    ReportStore(reading, report);
    report.Count("accounts on the sheet",
                 static_cast<std::int64_t>(settings.accounts.accounts.size()));
    report.Count("views on the sheet", static_cast<std::int64_t>(settings.views.size()));
    report.Count("settings left out as passwords",
                 static_cast<std::int64_t>(settings.accounts.left_out.size()));
    return outcome;
}

MailSurvey SurveyOperaMail(const std::string& mail_folder) {
    CheckIsMailFolder(mail_folder);
    ConversionReport ignored;
    const MailSettings settings = ReadSettings(mail_folder, ignored);
    const formats::StoreReading reading = ReadStore(Joined(mail_folder, "store"), {}, nullptr);
    MailSurvey survey;
    survey.unreadable = reading.unreadable.size();
    for (const model::StoreMailbox& box : reading.mailboxes)
        survey.mailboxes.push_back({MailboxName(box, settings.accounts), box.messages.size()});
    for (const model::MailAccount& account : settings.accounts.accounts) {
        const std::string folder = "account" + std::to_string(account.number);
        bool has_mail = false;
        for (const model::StoreMailbox& box : reading.mailboxes)
            has_mail = has_mail || formats::SameLetters(box.folder, folder);
        if (has_mail) continue;
        model::StoreMailbox empty;
        empty.folder = folder;
        survey.accounts_without_mail.push_back(MailboxName(empty, settings.accounts));
    }
    return survey;
}

}  // namespace quarvo
