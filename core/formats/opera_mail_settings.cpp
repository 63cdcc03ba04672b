// SPDX-License-Identifier: MIT
#include "formats/opera_mail_settings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "formats/opera_ini.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {

std::string_view model::MailAccount::Setting(std::string_view key) const noexcept {
    for (const auto& [name, value] : settings)
        if (formats::SameLetters(name, key)) return value;
    return {};
}

namespace formats {
namespace {

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

// The number after `prefix` in `name` ("Account12" gives 12), or -1.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || !SameLetters(name.substr(0, prefix.size()), prefix))
        return -1;
    const std::string_view digits = name.substr(prefix.size());
    int number = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() ? number : -1;
}

std::int64_t NumberOf(std::string_view value) {
    std::int64_t number = 0;
    std::from_chars(value.data(), value.data() + value.size(), number);
    return number;
}

// Opera numbers its indexes in ranges of a hundred million per kind, as the
// "Next ... ID" keys of index.ini's [Indexer] section show: contacts from
// 100000000, folders (labels and filters) 200000000, searches 300000000,
// newsgroups 400000000, threads 600000000, IMAP folders 700000000, accounts
// 1000000000, feeds 1200000000, archives 1300000000, folder groups
// 1500000000, categories 1600000000. Below 100000000 are its fixed views.
bool KindOf(const IniSection& index, model::MailView::Kind& kind) {
    using Kind = model::MailView::Kind;
    const std::int64_t range = NumberOf(index.Value("Id")) / 100000000;
    switch (range) {
        case 1:
            kind = std::string_view(index.Value("File")).starts_with("list_") ? Kind::kMailingList
                                                                              : Kind::kContact;
            return true;
        case 2:
            kind = index.Value("Keyword").empty() ? Kind::kFilter : Kind::kLabel;
            return true;
        case 3:
            kind = Kind::kSearch;
            return true;
        case 4:
            kind = Kind::kNewsgroup;
            return true;
        case 7:
            kind = Kind::kImapFolder;
            return true;
        case 12:
            kind = Kind::kNewsfeed;
            return true;
        case 13:
            kind = Kind::kArchive;
            return true;
        case 15:
            kind = Kind::kFolderGroup;
            return true;
        default:
            return false;
    }
}

// Overwrites a text through a volatile pointer, which the compiler may not
// leave out as a store to memory about to be freed.
void Overwrite(std::string& text) noexcept {
    volatile char* bytes = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = 0;
}

}  // namespace

bool LooksLikePassword(std::string_view key) noexcept {
    const std::string lowered = Lowered(key);
    for (const std::string_view word : {"password", "passwd", "passphrase", "pwd", "secret"})
        if (lowered.find(word) != std::string::npos) return true;
    return lowered.ends_with("pass");
}

OperaAccounts ReadOperaAccounts(std::string_view text) {
    OperaAccounts read;
    const auto keep = [&](std::string_view section, std::string_view key) {
        if (!LooksLikePassword(key)) return true;
        read.left_out.push_back(std::string(section) + ": " + std::string(key));
        return false;
    };
    for (IniSection& section : ReadOperaIni(text, keep)) {
        const int number = NumberAfter(section.name, "Account");
        if (number < 0) continue;
        model::MailAccount account;
        account.number = number;
        for (IniSetting& setting : section.settings)
            account.settings.emplace_back(std::move(setting.key), std::move(setting.value));
        const std::string prefix = section.name + ": ";
        for (const std::string& name : read.left_out)
            if (name.starts_with(prefix)) account.left_out.push_back(name.substr(prefix.size()));
        read.accounts.push_back(std::move(account));
    }
    return read;
}

OperaAccounts ReadOperaAccountsFile(const std::string& file_name) {
    std::string text = ReadWholeFile(file_name);
    OperaAccounts read = ReadOperaAccounts(text);
    Overwrite(text);
    return read;
}

std::vector<model::MailView> ReadOperaMailViews(std::string_view text) {
    std::vector<model::MailView> views;
    for (const IniSection& index : ReadOperaIni(text)) {
        model::MailView view;
        if (NumberAfter(index.name, "Index ") < 0 || !KindOf(index, view.kind)) continue;
        view.name = std::string(index.Value("Name"));
        view.account = static_cast<int>(NumberOf(index.Value("Account Id")));
        for (const IniSetting& setting : index.settings) {
            const bool rule = SameLetters(setting.key, "Search Text") ||
                              NumberAfter(setting.key, "Search Text ") >= 0;
            if (rule && !setting.value.empty()) view.rules.push_back(setting.value);
        }
        views.push_back(std::move(view));
    }
    return views;
}

}  // namespace formats
}  // namespace quarvo
