// SPDX-License-Identifier: MIT
// Opera's message store (mail/store), read without holding a message: each
// folder of store/ is one mailbox ("account1", "drafts"), and every .mbs file
// below it holds its messages. Opera 9 and later keep one message a file,
// named by its number (store/account1/2014/07/22/1130.mbs), that starts with
// an mbox "From " line; Opera before 9.1 kept several in one file, each after
// such a line. Only where each message lies and its date are read here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/mail.h"

namespace quarvo::formats {

// Opera's line before a message: "From 10000@qq.com Mon Jul 21 15:09:03 2014
// 1119", the sender (empty in drafts), the time Opera stored the message and
// its number in the store.
struct OperaFromLine {
    std::string_view sender;
    std::string_view time;  // the asctime part, as written
    std::int64_t seconds = 0;
};

// Reads a "From " line (its line end may be included). Nothing when it is not
// one: no "From " at the start, or no time after the sender.
[[nodiscard]] std::optional<OperaFromLine> ParseOperaFromLine(std::string_view line);

// The value of the first header field `name` in a message's header block
// (letters compared without case), its folded lines joined; nothing when the
// block has no such field. The block ends at the first empty line.
[[nodiscard]] std::optional<std::string> HeaderValue(std::string_view head, std::string_view name);

// Finds the messages of a file that may hold several, fed its bytes in pieces
// of any size: a message starts at a "From " line that ParseOperaFromLine
// reads, at the file's start or after an empty line. Bytes before the first
// such line are a message of their own unless they are only line ends. The
// empty line before a separator, and the file's last one, belong to the mbox
// form, not to the message before them. Holds
// at most a few kilobytes of a message's header however large the message.
class MessageSplitter {
  public:
    struct Found {
        std::uint64_t start = 0, body = 0, end = 0;
        std::optional<std::int64_t> date;        // from its Date header
        std::optional<std::int64_t> opera_time;  // from its "From " line
    };

    void Feed(std::string_view piece);
    // Ends the file; returns its messages in the file's order.
    [[nodiscard]] std::vector<Found> Finish();

  private:
    void EndLine();
    void StartMessage(std::uint64_t start, std::uint64_t body, std::optional<std::int64_t> time);
    void CloseMessage(std::uint64_t end);

    static constexpr std::size_t kKeptLine = 1024;
    static constexpr std::size_t kKeptHead = 64 * 1024;
    std::vector<Found> found_;
    std::uint64_t offset_ = 0;  // of the next byte fed
    std::uint64_t line_start_ = 0;
    std::string line_;                   // the line so far, its first kKeptLine bytes
    bool previous_empty_ = true;         // the file's start counts as after an empty line
    std::uint64_t previous_length_ = 0;  // of the line before, when it was empty
    bool open_ = false;                  // a message is open
    bool in_head_ = false;               // its header block is still being kept
    bool only_line_ends_ = true;         // what precedes the first "From " line
    std::string head_;
};

// Whether a file name is one of Opera 9's one-message files: "<number>.mbs".
[[nodiscard]] bool IsOneMessageFileName(std::string_view name) noexcept;

// A file of the store that gave no message, and why.
struct StoreProblem {
    std::string file;  // its full name
    std::string reason;
};

struct StoreReading {
    // Each folder of store/ that holds messages (folders in name order), then
    // the .mbs files directly in store/ as one mailbox; messages in date order.
    std::vector<model::StoreMailbox> mailboxes;
    std::vector<StoreProblem> unreadable;  // files that could not be read: left out
    std::vector<std::string> empty;        // .mbs files that hold no message
    std::size_t files_with_several = 0;    // files that held more than one message
    // Messages ordered by the time Opera stored them, as their Date header
    // gave no date; their full names, the first few.
    std::size_t undated = 0;
    std::vector<std::string> undated_files;
    std::uint64_t bytes = 0;  // of every message found
};

// Called with the number of files read and to read; returns true to stop.
using StoreReadingStep = std::function<bool(std::size_t done, std::size_t total)>;

// Reads the store folder `store` (its full name): where each message of
// each .mbs file lies and its date. A file that cannot be read is named in
// `unreadable` and the reading goes on. Stops early (returning what it has)
// when `step` returns true. Throws EFOpenError when `store` itself cannot be
// listed.
[[nodiscard]] StoreReading ReadOperaMailStore(const std::string& store,
                                              const StoreReadingStep& step = {});

}  // namespace quarvo::formats
