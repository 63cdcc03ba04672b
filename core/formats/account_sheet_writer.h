// SPDX-License-Identifier: MIT
// The account sheet: one HTML page with what the user needs to set the mail
// accounts up again in another program (servers, ports, user names,
// addresses, signatures) and the names of Opera's labels, filters and
// folders. It never holds a password: accounts.ini keeps none (Opera keeps
// them in wand.dat, which is never opened), and any key that looks like
// one was left out when the file was read; the sheet says so.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/opera_mail_settings.h"
#include "model/mail.h"

namespace quarvo::formats {

struct SheetMailbox {
    std::string folder;   // of store/ ("account1", "drafts"), empty for files directly in it
    std::string written;  // the mailbox file or folder it was written to
    std::size_t messages = 0;
};

struct SheetSignature {
    int account = 0;
    std::optional<std::string> text;  // the file's text, when it was read
    std::string note;                 // why not, naming the file
};

struct AccountSheet {
    std::string mail_folder;     // as the user named it
    bool accounts_read = false;  // accounts.ini was there and read
    OperaAccounts accounts;
    std::vector<model::MailView> views;
    std::vector<SheetMailbox> mailboxes;
    std::vector<SheetSignature> signatures;
    bool maildir = false;
};

// The page, in UTF-8.
[[nodiscard]] std::string WriteAccountSheet(const AccountSheet& sheet);

}  // namespace quarvo::formats
