// SPDX-License-Identifier: MIT
#include "formats/adr_lines.h"

#include <optional>

namespace quarvo::formats {
namespace {

constexpr std::string_view kVersionPrefix = "Opera Hotlist version ";
constexpr std::string_view kOptionsPrefix = "Options:";

// The next line of `text` from `at`, without its line end; `at` moves past it.
std::string_view NextLine(std::string_view text, std::size_t& at) {
    const std::size_t begin = at;
    // Two searches for one byte each, at memchr's speed, rather than a test
    // of every byte against both.
    std::size_t end = std::min(text.find('\n', begin), text.size());
    if (const std::size_t cr = text.substr(begin, end - begin).find('\r');
        cr != std::string_view::npos)
        end = begin + cr;
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n' && (at == end || text[at - 1] == '\r')) ++at;
    return text.substr(begin, end - begin);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Byte by byte: a search for the first byte not in a set of two would call
// memchr once for every byte it passes.
std::string_view Trimmed(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    std::size_t end = line.size();
    while (end > first && IsBlank(line[end - 1])) --end;
    return line.substr(first, end - first);
}

std::optional<AdrEntry::Kind> MarkerKind(std::string_view line) {
    if (line.size() < 2 || line[0] != '#') return std::nullopt;
    for (const char c : line)
        if (IsBlank(c)) return std::nullopt;
    if (line == "#FOLDER") return AdrEntry::Kind::kFolder;
    if (line == "#URL") return AdrEntry::Kind::kUrl;
    if (line == "#SEPERATOR") return AdrEntry::Kind::kSeparator;
    if (line == "#CONTACT") return AdrEntry::Kind::kContact;
    if (line == "#NOTE") return AdrEntry::Kind::kNote;
    return AdrEntry::Kind::kOther;
}

// Hands on the entries, keeping track of the open folders and of the trash.
class Reader {
  public:
    explicit Reader(const std::function<bool(const AdrEntry&)>& visit) : visit_(visit) {}

    // Whether the visitor asked for no more entries.
    [[nodiscard]] bool stopped() const noexcept { return stopped_; }

    void Marker(AdrEntry::Kind kind, std::string_view marker) {
        EndEntry();
        open_.kind = kind;
        open_.marker = marker;
        open_.values.clear();
        open_.depth = folders_.size();
        open_.in_trash = trash_depth_ > 0;
        is_open_ = true;
    }
    void Key(std::string_view key, std::string_view value) {
        if (is_open_) open_.values.push_back({key, value});
    }
    void FolderEnd(std::string_view marker) {
        EndEntry();
        if (folders_.empty()) return;  // an end without a folder ends nothing
        const bool trash = trash_depth_ > 0;
        const bool was_trash = folders_.back();
        folders_.pop_back();
        Visit(AdrEntry{AdrEntry::Kind::kFolderEnd, marker, {}, folders_.size(), trash});
        if (was_trash) --trash_depth_;
    }
    void EndEntry() {
        if (!is_open_) return;
        is_open_ = false;
        if (open_.kind == AdrEntry::Kind::kFolder) {
            const bool trash = open_.Value("TRASH FOLDER") == "YES";
            if (trash) open_.in_trash = true;
            folders_.push_back(trash);
            if (trash) ++trash_depth_;
        }
        Visit(open_);
    }
    void Finish() {
        EndEntry();
        while (!folders_.empty() && !stopped_) FolderEnd({});
    }

  private:
    void Visit(const AdrEntry& entry) {
        if (!stopped_ && !visit_(entry)) stopped_ = true;
    }

    const std::function<bool(const AdrEntry&)>& visit_;
    bool stopped_ = false;
    // The entry being read; its values' room is kept from one to the next.
    AdrEntry open_;
    bool is_open_ = false;
    std::vector<bool> folders_;  // the open folders, true for a trash folder
    std::size_t trash_depth_ = 0;
};

// Walks `text` line by line. The header goes to `header`; the entries, unless
// `header_only`, to `visit`.
void Walk(std::string_view text, AdrHeader& header, bool header_only,
          const std::function<bool(const AdrEntry&)>& visit) {
    Reader reader(visit);
    // A file saved again by a Windows editor may start with a byte order
    // mark, which would hide the version line.
    std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    bool first_line = true;
    bool in_header = true;
    while (at < text.size()) {
        const std::string_view line = NextLine(text, at);
        const std::string_view trimmed = Trimmed(line);
        if (first_line && line.starts_with(kVersionPrefix))
            header.version = Trimmed(line.substr(kVersionPrefix.size()));
        first_line = false;
        if (trimmed.empty()) {
            reader.EndEntry();
        } else if (trimmed == "-") {
            reader.FolderEnd(trimmed);
        } else if (const auto kind = MarkerKind(trimmed)) {
            if (header_only) return;
            in_header = false;
            reader.Marker(*kind, trimmed);
        } else if (in_header && trimmed.starts_with(kOptionsPrefix)) {
            header.options = Trimmed(trimmed.substr(kOptionsPrefix.size()));
        } else if (const std::size_t eq = trimmed.find('='); eq != std::string_view::npos) {
            // The value runs to the line end, blanks and all.
            const std::size_t value_at = line.find('=') + 1;
            reader.Key(trimmed.substr(0, eq), line.substr(value_at));
        }
        if (reader.stopped()) return;
    }
    reader.Finish();
}

}  // namespace

std::string_view AdrEntry::Value(std::string_view key) const noexcept {
    for (const AdrValue& v : values)
        if (v.key == key) return v.value;
    return {};
}

bool AdrEntry::Has(std::string_view key) const noexcept {
    for (const AdrValue& v : values)
        if (v.key == key) return true;
    return false;
}

AdrFile ReadAdrLines(std::string_view text) {
    AdrFile file;
    Walk(text, file, false, [&file](const AdrEntry& entry) {
        file.entries.push_back(entry);
        return true;
    });
    return file;
}

AdrHeader ReadAdrHeader(std::string_view text) {
    AdrHeader header;
    Walk(text, header, true, [](const AdrEntry&) { return true; });
    return header;
}

void ForEachAdrEntry(std::string_view text, const std::function<void(const AdrEntry&)>& visit) {
    AdrHeader header;
    Walk(text, header, false, [&visit](const AdrEntry& entry) {
        visit(entry);
        return true;
    });
}

void ForEachAdrEntryWhile(std::string_view text,
                          const std::function<bool(const AdrEntry&)>& visit) {
    AdrHeader header;
    Walk(text, header, false, visit);
}

bool OptionsNameOtherEncoding(std::string_view options) noexcept {
    const std::size_t at = options.find("encoding");
    if (at == std::string_view::npos) return false;
    std::string_view rest = options.substr(at + 8);
    rest = rest.substr(std::min(rest.size(), rest.find_first_not_of(" \t=")));
    const std::string_view name = rest.substr(0, rest.find_first_of(" \t,"));
    return !(name == "utf8" || name == "utf-8" || name == "UTF-8" || name == "UTF8");
}

}  // namespace quarvo::formats
