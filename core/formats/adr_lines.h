// SPDX-License-Identifier: MIT
// An Opera .adr file (hotlist, contacts, notes) read line by line, as Opera
// itself reads it. The tuned converters cut the text at blank lines and find
// keys anywhere; the readers of the newer outputs take the entries from here.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace quarvo::formats {

// One key line of an entry: "\tNAME=value" gives key "NAME", value "value".
struct AdrValue {
    std::string_view key;
    std::string_view value;
};

struct AdrEntry {
    enum class Kind { kFolder, kUrl, kSeparator, kContact, kNote, kOther, kFolderEnd };

    Kind kind = Kind::kOther;
    // The marker line as written ("#URL", "#NOTE", ...); "-" for a folder
    // end, empty for one the file left open and the reader closed.
    std::string_view marker;
    std::vector<AdrValue> values;  // in the file's order
    std::size_t depth = 0;         // folders around the entry (a folder end: around its folder)
    bool in_trash = false;         // a trash folder, anything inside one, and its end

    // The value of the first line holding `key`; empty when there is none.
    [[nodiscard]] std::string_view Value(std::string_view key) const noexcept;
    [[nodiscard]] bool Has(std::string_view key) const noexcept;
};

// The lines before the first entry.
struct AdrHeader {
    // The first line's version after "Opera Hotlist version " ("2.0"), empty
    // when the first line is not a version line.
    std::string_view version;
    // What follows "Options:" on a header line ("encoding = utf8, version=3").
    std::string_view options;
};

struct AdrFile : AdrHeader {
    std::vector<AdrEntry> entries;  // every folder closed: folders and ends balance
};

// Reads the entries of `text`; the views point into it. Line ends may be
// CR, LF or CR LF. A marker counts only on a line of its own and a key only
// at the start of a line after its indentation (tabs or spaces); an entry
// ends at an empty line, a line of blanks, a folder end ("-") or the next
// marker. Lines that are none of these are skipped. A UTF-8 byte order
// mark before the first line is passed over. Never fails.
[[nodiscard]] AdrFile ReadAdrLines(std::string_view text);

// The header alone, read as ReadAdrLines reads it, up to the first entry.
[[nodiscard]] AdrHeader ReadAdrHeader(std::string_view text);

// Hands the entries ReadAdrLines would list to `visit`, one at a time and in
// the same order, without holding them all: a notes file of many megabytes
// is walked in the memory of one entry. The views point into `text`.
void ForEachAdrEntry(std::string_view text, const std::function<void(const AdrEntry&)>& visit);

// As ForEachAdrEntry, until `visit` returns false. Started at an entry's
// marker line inside a file, it walks that entry and, for a folder, all it
// holds, the folder's end at depth 0.
void ForEachAdrEntryWhile(std::string_view text, const std::function<bool(const AdrEntry&)>& visit);

// Whether `options` (AdrFile::options) names an encoding other than UTF-8.
// Files without the line are taken as UTF-8, as Opera 7 and later wrote.
[[nodiscard]] bool OptionsNameOtherEncoding(std::string_view options) noexcept;

}  // namespace quarvo::formats
