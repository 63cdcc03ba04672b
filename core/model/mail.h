// SPDX-License-Identifier: MIT
// Opera's mail as the mail writers receive it: the accounts and views of the
// mail folder's ini files, and where each message of the store lies. No
// message is held: a message is a place in a file, copied when it is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarvo::model {

// One [AccountN] section of accounts.ini, without any key that looks like a
// password (those are named in `left_out`, their values never kept).
struct MailAccount {
    int number = 0;  // N of [AccountN]; its messages are in store/accountN
    std::vector<std::pair<std::string, std::string>> settings;  // in the file's order
    std::vector<std::string> left_out;

    // The value of `key` (letters compared without case); empty when absent.
    [[nodiscard]] std::string_view Setting(std::string_view key) const noexcept;
};

// One [Index N] of index.ini that the user made or that Opera made from the
// mail (a label, a filter, a contact's or a mailing list's view, an IMAP
// folder, a newsgroup or feed). Opera's own fixed views are not kept.
struct MailView {
    enum class Kind {
        kLabel,
        kFilter,
        kSearch,
        kContact,
        kMailingList,
        kImapFolder,
        kNewsgroup,
        kNewsfeed,
        kArchive,
        kFolderGroup
    };
    Kind kind = Kind::kFilter;
    std::string name;
    int account = 0;                 // "Account Id", 0 for none
    std::vector<std::string> rules;  // its search texts, as Opera keeps them
};

// One message of the store: its bytes are [body, end) of its file, after
// Opera's "From " line at [start, body) (start == body when there is none).
struct StoredMessage {
    std::int64_t date = 0;  // seconds since 1970 (UTC), the order of the mailbox
    std::uint64_t start = 0;
    std::uint64_t body = 0;
    std::uint64_t end = 0;
    std::uint32_t file = 0;  // index into StoreMailbox::files
};

// The messages below one folder of store/ ("account1", "drafts"), or those of
// the .mbs files directly in store/ (folder empty).
struct StoreMailbox {
    std::string folder;
    std::vector<std::string> files;       // relative to store/, '/' between folders
    std::vector<StoredMessage> messages;  // in date order once read
};

}  // namespace quarvo::model
