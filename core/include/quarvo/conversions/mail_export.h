// SPDX-License-Identifier: MIT
// Opera's mail (the store of Opera 7 to 12's mail client) exported into a new
// folder: one mailbox per account, an mbox file or a Maildir folder, with
// every message's bytes as Opera stored them, and accounts.html, the sheet
// of the accounts' settings and of Opera's labels, filters and folders. The
// folder is written as a whole (FolderOutput): it appears complete or not at
// all. No message is ever held whole, so memory stays flat for any store.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/conversions/conversion_run.h"
#include "quarvo/files/folder_output.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

enum class MailboxFormat { kMbox, kMaildir };

struct MailExportOptions {
    MailboxFormat format = MailboxFormat::kMbox;
    // Make CR LF line ends LF, as the readers of mbox files and Maildirs on
    // Unix-like systems expect; else every line end stays as stored.
    bool lf_line_ends = false;
    // An output folder that already holds files is replaced as a whole,
    // else such a folder is refused.
    bool replace = false;
};

// How far an export has come: first the store's files are read for where
// their messages lie, then the messages' bytes are written.
struct MailProgress {
    enum class Phase { kReading, kWriting };
    Phase phase = Phase::kReading;
    std::uint64_t done = 0;   // files read, or bytes of messages written
    std::uint64_t total = 0;  // of the phase
};
using MailProgressSink = std::function<void(const MailProgress&)>;

struct MailExportOutcome {
    // The cancel flag was seen set: nothing was written, the output folder
    // is as it was.
    bool cancelled = false;
    std::size_t mailboxes = 0;
    std::size_t messages = 0;  // written
    // The store's files that could not be read, "name: reason"; their
    // messages are not in the export.
    std::vector<std::string> unreadable;
};

// The name of the sheet in the output folder.
inline constexpr const char* kAccountSheetName = "accounts.html";

// The report's count and warning of the store's files that could not be
// read (the warning names the first few of them; the outcome all).
inline constexpr std::string_view kUnreadableMailFiles = "files that could not be read, left out";

// Refuses an export whose output folder is the mail folder, lies inside it
// or holds it, compared as the system finds them (links followed, any
// spelling). Reads and writes nothing. Throws ESameFileError naming both.
void CheckMailExport(const std::string& mail_folder, const std::string& output_folder);

// As above, for an export in one run with other conversions: refuses too a
// run that has one of their files (input or output) in the export's output
// folder, or one of their outputs in the mail folder.
void CheckMailExport(const std::string& mail_folder, const std::string& output_folder,
                     const ConversionRun& run);

// Exports the mail folder `mail_folder` (Opera's "mail", holding accounts.ini,
// index.ini and store/) into the new folder `output_folder`, filling
// `report`. `progress` (may be empty) is called as files are read and
// messages written; `cancel` (may be null) is looked at between files and
// between messages, and when set the export stops and leaves nothing.
// Throws ESameFileError as CheckMailExport does; EFOpenError when the mail
// folder is missing or is no Opera mail folder, or a message's file cannot
// be read while it is copied; EFCreateError when the output folder cannot be
// made (a file, a folder with files in it without `replace`, no access);
// EWriteError when the disk does not take the files. After an exception the
// output folder is as it was. A file of the store that cannot be read when
// the store is first read is left out and named in the outcome.
MailExportOutcome ExportOperaMail(const std::string& mail_folder, const std::string& output_folder,
                                  const MailExportOptions& options, ConversionReport& report,
                                  const MailProgressSink& progress = {},
                                  const std::atomic<bool>* cancel = nullptr);

// As ExportOperaMail, into the folder `folder` (a relative name; empty:
// the top) of an output folder that the caller commits, for an export of
// several kinds into one folder. Makes `folder`. Checks nothing of where
// the output lies (the caller does); returns with `cancelled` set, the
// output left uncommitted, when `cancel` is seen set.
MailExportOutcome WriteOperaMail(const std::string& mail_folder, FolderOutput& output,
                                 std::string_view folder, const MailExportOptions& options,
                                 ConversionReport& report, const MailProgressSink& progress = {},
                                 const std::atomic<bool>* cancel = nullptr);

// The mailboxes of a mail folder and their message counts, for a listing.
struct MailSurvey {
    struct Mailbox {
        std::string name;  // the account's name, "Drafts", or the store folder's
        std::size_t messages = 0;
    };
    std::vector<Mailbox> mailboxes;
    std::vector<std::string> accounts_without_mail;  // names
    std::size_t unreadable = 0;                      // files that could not be read
};

// Reads the mail folder as ExportOperaMail does, writing nothing. Throws
// EFOpenError as ExportOperaMail does.
[[nodiscard]] MailSurvey SurveyOperaMail(const std::string& mail_folder);

}  // namespace quarvo
