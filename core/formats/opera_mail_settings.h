// SPDX-License-Identifier: MIT
// The settings of Opera's mail folder: the accounts of accounts.ini and the
// views of index.ini, for the sheet the user sets the new program up from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/mail.h"

namespace quarvo::formats {

// Whether a key's name says it holds a password or another secret: such a
// key's value is never copied out of the file.
[[nodiscard]] bool LooksLikePassword(std::string_view key) noexcept;

struct OperaAccounts {
    std::vector<model::MailAccount> accounts;  // in the file's order
    // Every key left out as a password, as "Section: Key".
    std::vector<std::string> left_out;
};

// The [AccountN] sections of accounts.ini's text. Never fails.
[[nodiscard]] OperaAccounts ReadOperaAccounts(std::string_view text);

// Reads accounts.ini and overwrites the bytes read before they are freed, so
// that a secret the file may hold stays in memory no longer than the reading.
// Throws EFOpenError or EReadError as ReadWholeFile does.
[[nodiscard]] OperaAccounts ReadOperaAccountsFile(const std::string& file_name);

// The views of index.ini's text that the user made or that Opera made from
// the mail, in the file's order; Opera's fixed views, its categories and
// the accounts' own entries are left out. Never fails.
[[nodiscard]] std::vector<model::MailView> ReadOperaMailViews(std::string_view text);

}  // namespace quarvo::formats
