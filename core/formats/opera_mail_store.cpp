// SPDX-License-Identifier: MIT
#include "formats/opera_mail_store.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "formats/mail_dates.h"
#include "formats/opera_ini.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_listing.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kFromPrefix = "From ";
// What is read of a one-message file to find its date: its header block,
// unless the header runs longer.
constexpr std::size_t kHeadBytes = 64 * 1024;
constexpr std::size_t kChunkBytes = 1 << 20;
constexpr std::size_t kUndatedNamed = 5;

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

bool IsEmptyLine(std::string_view line) {
    return line == "\n" || line == "\r\n";
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool EndsWithMbs(std::string_view name) {
    return name.size() > 4 && SameLetters(name.substr(name.size() - 4), ".mbs");
}

// Names in the order a person expects: runs of digits by their number, so
// that 2.mbs comes before 10.mbs.
bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a[i] >= '0' && a[i] <= '9', db = b[j] >= '0' && b[j] <= '9';
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && a[ei] >= '0' && a[ei] <= '9') ++ei;
            while (ej < b.size() && b[ej] >= '0' && b[ej] <= '9') ++ej;
            std::string_view na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

void SortNaturally(std::vector<FolderEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return NaturalLess(a.name, b.name);
    });
}

std::string Joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != kPathSeparator)
        path += kPathSeparator;
    for (const char c : name) path += c == '/' ? kPathSeparator : c;
    return path;
}

// The .mbs files below `folder` (relative names, '/' between folders), in
// name order; folders that cannot be listed are named in `unreadable`.
void CollectFiles(const std::string& store, const std::string& relative,
                  std::vector<std::string>& files, std::vector<StoreProblem>& unreadable) {
    std::vector<FolderEntry> entries;
    const std::string full = Joined(store, relative);
    try {
        entries = ListFolder(full);
    } catch (const Exception& error) {
        unreadable.push_back({full, error.what()});
        return;
    }
    SortNaturally(entries);
    for (const FolderEntry& entry : entries) {
        const std::string name = relative + '/' + entry.name;
        if (entry.is_folder)
            CollectFiles(store, name, files, unreadable);
        else if (EndsWithMbs(entry.name))
            files.push_back(name);
    }
}

// The day of the folders a message file sits in (".../2014/07/22/1130.mbs"),
// which Opera names from the message's date.
std::optional<std::int64_t> FolderDay(std::string_view relative) {
    std::string_view parts[4];
    for (int i = 3; i >= 0; --i) {
        const std::size_t slash = relative.rfind('/');
        if (slash == std::string_view::npos) return std::nullopt;
        parts[i] = relative.substr(slash + 1);
        relative = relative.substr(0, slash);
    }
    if (parts[0].size() != 4 || parts[1].size() != 2 || parts[2].size() != 2 ||
        !IsDigits(parts[0]) || !IsDigits(parts[1]) || !IsDigits(parts[2]))
        return std::nullopt;
    const int month = std::stoi(std::string(parts[1]));
    if (month < 1 || month > 12) return std::nullopt;
    const std::string text =
        std::string(parts[2]) + " " +
        std::string("JanFebMarAprMayJunJulAugSepOctNovDec", (month - 1) * 3, 3) + " " +
        std::string(parts[0]) + " 00:00 +0000";
    return ParseMailDate(text);
}

class StoreReader {
  public:
    StoreReader(const std::string& store, StoreReading& reading)
        : store_(store), reading_(reading) {}

    void ReadMailbox(model::StoreMailbox& box, std::size_t file) {
        const std::string& relative = box.files[file];
        const std::string full = Joined(store_, relative);
        try {
            FileReading input(full);
            const std::size_t before = box.messages.size();
            const std::size_t slash = relative.rfind('/');
            const std::string_view name =
                std::string_view(relative).substr(slash == std::string::npos ? 0 : slash + 1);
            if (IsOneMessageFileName(name))
                ReadOneMessage(input, box, file);
            else
                ReadSeveral(input, box, file);
            const std::size_t found = box.messages.size() - before;
            if (found == 0) reading_.empty.push_back(full);
            if (found > 1) ++reading_.files_with_several;
            for (std::size_t i = before; i < box.messages.size(); ++i) {
                const model::StoredMessage& m = box.messages[i];
                reading_.bytes += m.end - m.body;
            }
        } catch (const Exception& error) {
            reading_.unreadable.push_back({full, error.what()});
        }
    }

  private:
    void Add(model::StoreMailbox& box, std::uint32_t file, std::uint64_t start, std::uint64_t body,
             std::uint64_t end, std::optional<std::int64_t> date,
             std::optional<std::int64_t> opera_time) {
        if (body >= end) return;
        if (!date) {
            ++reading_.undated;
            if (reading_.undated_files.size() < kUndatedNamed)
                reading_.undated_files.push_back(Joined(store_, box.files[file]));
            date = opera_time ? opera_time : FolderDay(box.files[file]);
        }
        box.messages.push_back({date.value_or(0), start, body, end, file});
    }

    void ReadOneMessage(FileReading& input, model::StoreMailbox& box, std::size_t file) {
        const std::size_t size = input.size();
        std::string head(std::min(size, kHeadBytes), '\0');
        input.ReadAt(0, head.data(), head.size());
        std::uint64_t body = 0;
        std::optional<std::int64_t> opera_time;
        if (std::string_view(head).starts_with(kFromPrefix)) {
            // No header line starts so: the line is Opera's, whatever follows it.
            const std::size_t line_end = head.find('\n');
            body = line_end == std::string::npos ? size : line_end + 1;
            if (auto line = ParseOperaFromLine(std::string_view(head).substr(0, body)))
                opera_time = line->seconds;
        }
        std::optional<std::int64_t> date;
        if (body < head.size())
            if (auto value = HeaderValue(std::string_view(head).substr(body), "Date"))
                date = ParseMailDate(*value);
        Add(box, static_cast<std::uint32_t>(file), 0, body, size, date, opera_time);
    }

    void ReadSeveral(FileReading& input, model::StoreMailbox& box, std::size_t file) {
        MessageSplitter splitter;
        std::unique_ptr<char[]> chunk(new char[kChunkBytes]);
        for (std::size_t offset = 0; offset < input.size();) {
            const std::size_t bytes = std::min(kChunkBytes, input.size() - offset);
            input.ReadAt(offset, chunk.get(), bytes);
            splitter.Feed(std::string_view(chunk.get(), bytes));
            offset += bytes;
        }
        for (const MessageSplitter::Found& m : splitter.Finish())
            Add(box, static_cast<std::uint32_t>(file), m.start, m.body, m.end, m.date,
                m.opera_time);
    }

    const std::string& store_;
    StoreReading& reading_;
};

}  // namespace

std::optional<OperaFromLine> ParseOperaFromLine(std::string_view line) {
    line = WithoutLineEnd(line);
    if (!line.starts_with(kFromPrefix)) return std::nullopt;
    line.remove_prefix(kFromPrefix.size());
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    OperaFromLine read;
    read.sender = line.substr(0, blank);
    std::string_view rest = line.substr(blank);
    // The time is the next five words; Opera adds the message's number.
    std::size_t at = 0;
    std::size_t time_start = std::string_view::npos, time_end = 0;
    for (int word = 0; word < 5; ++word) {
        while (at < rest.size() && rest[at] == ' ') ++at;
        if (at == rest.size()) return std::nullopt;
        if (word == 0) time_start = at;
        while (at < rest.size() && rest[at] != ' ') ++at;
        time_end = at;
    }
    read.time = rest.substr(time_start, time_end - time_start);
    const std::optional<std::int64_t> seconds = ParseAsctime(read.time);
    if (!seconds) return std::nullopt;
    read.seconds = *seconds;
    return read;
}

std::optional<std::string> HeaderValue(std::string_view head, std::string_view name) {
    std::optional<std::string> value;
    while (!head.empty()) {
        const std::size_t end = std::min(head.find('\n'), head.size() - 1) + 1;
        const std::string_view line = head.substr(0, end);
        head.remove_prefix(end);
        const std::string_view text = WithoutLineEnd(line);
        if (text.empty()) break;
        if (value) {
            if (text.front() != ' ' && text.front() != '\t') break;
            value->append(text);
            continue;
        }
        if (text.size() > name.size() && text[name.size()] == ':' &&
            SameLetters(text.substr(0, name.size()), name))
            value.emplace(text.substr(name.size() + 1));
    }
    return value;
}

void MessageSplitter::Feed(std::string_view piece) {
    while (!piece.empty()) {
        const std::size_t newline = piece.find('\n');
        const std::size_t take = newline == std::string_view::npos ? piece.size() : newline + 1;
        if (line_.size() < kKeptLine)
            line_.append(piece.substr(0, std::min(take, kKeptLine - line_.size())));
        offset_ += take;
        piece.remove_prefix(take);
        if (newline != std::string_view::npos) EndLine();
    }
}

void MessageSplitter::EndLine() {
    const std::uint64_t line_end = offset_;
    const bool empty = line_end - line_start_ <= 2 && IsEmptyLine(line_);
    std::optional<OperaFromLine> from;
    if (previous_empty_ && std::string_view(line_).starts_with(kFromPrefix))
        from = ParseOperaFromLine(line_);
    if (from) {
        // The empty line before a separator is the separator's, not the message's.
        CloseMessage(line_start_ - previous_length_);
        StartMessage(line_start_, line_end, from->seconds);
    } else if (!open_ && !empty && line_end > line_start_) {
        StartMessage(0, 0, std::nullopt);
    }
    if (!from && open_ && in_head_) {
        if (empty)
            in_head_ = false;
        else if (head_.size() < kKeptHead)
            head_.append(line_);
    }
    previous_empty_ = empty;
    previous_length_ = empty ? line_end - line_start_ : 0;
    line_start_ = line_end;
    line_.clear();
}

void MessageSplitter::StartMessage(std::uint64_t start, std::uint64_t body,
                                   std::optional<std::int64_t> time) {
    found_.push_back({start, body, body, std::nullopt, time});
    open_ = true;
    in_head_ = true;
    head_.clear();
}

void MessageSplitter::CloseMessage(std::uint64_t end) {
    if (!open_) return;
    Found& message = found_.back();
    message.end = end;
    if (auto value = HeaderValue(head_, "Date")) message.date = ParseMailDate(*value);
    open_ = false;
    in_head_ = false;
}

std::vector<MessageSplitter::Found> MessageSplitter::Finish() {
    if (offset_ > line_start_) EndLine();
    // As before a separator, the file's last empty line is the mbox's own.
    CloseMessage(offset_ - previous_length_);
    std::vector<Found> found = std::move(found_);
    found.erase(
        std::remove_if(found.begin(), found.end(), [](const Found& m) { return m.body >= m.end; }),
        found.end());
    return found;
}

bool IsOneMessageFileName(std::string_view name) noexcept {
    return EndsWithMbs(name) && IsDigits(name.substr(0, name.size() - 4));
}

StoreReading ReadOperaMailStore(const std::string& store, const StoreReadingStep& step) {
    StoreReading reading;
    std::vector<FolderEntry> entries = ListFolder(store);
    SortNaturally(entries);
    model::StoreMailbox loose;  // the .mbs files directly in store/
    for (const FolderEntry& entry : entries) {
        if (entry.is_folder) {
            model::StoreMailbox box;
            box.folder = entry.name;
            CollectFiles(store, entry.name, box.files, reading.unreadable);
            reading.mailboxes.push_back(std::move(box));
        } else if (EndsWithMbs(entry.name)) {
            loose.files.push_back(entry.name);
        }
    }
    reading.mailboxes.push_back(std::move(loose));

    std::size_t total = 0, done = 0;
    for (const model::StoreMailbox& box : reading.mailboxes) total += box.files.size();
    StoreReader reader(store, reading);
    for (model::StoreMailbox& box : reading.mailboxes) {
        for (std::size_t file = 0; file < box.files.size(); ++file) {
            if (step && step(done, total)) return reading;
            reader.ReadMailbox(box, file);
            ++done;
        }
        std::stable_sort(box.messages.begin(), box.messages.end(),
                         [](const model::StoredMessage& a, const model::StoredMessage& b) {
                             return a.date < b.date;
                         });
    }
    if (step) step(done, total);
    std::erase_if(reading.mailboxes,
                  [](const model::StoreMailbox& box) { return box.messages.empty(); });
    return reading;
}

}  // namespace quarvo::formats
