// SPDX-License-Identifier: MIT
#include "formats/markdown_notes_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "formats/file_names.h"
#include "text/text_encoding.h"
#include "formats/utc_time.h"

namespace quarvo::formats {
namespace {

using model::NoteItem;

constexpr std::string_view kBlank = "&nbsp;";

bool IsWordByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAsciiLetterOrDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether `at` begins a character reference ("&amp;", "&#38;", "&#x26;"),
// which a Markdown reader would show as the character it names.
bool StartsReference(std::string_view line, std::size_t at) {
    std::size_t i = at + 1;
    const bool numeric = i < line.size() && line[i] == '#';
    if (numeric) ++i;
    const bool hex = numeric && i < line.size() && (line[i] == 'x' || line[i] == 'X');
    if (hex) ++i;
    const auto part = hex ? IsHexDigit : numeric ? IsDigit : IsAsciiLetterOrDigit;
    const std::size_t start = i;
    while (i < line.size() && i - start < 32 && part(line[i])) ++i;
    return i > start && i < line.size() && line[i] == ';';
}

// What a byte may do in a line: kMarkup takes part in markup wherever it
// stands (emphasis, code, links, raw HTML, tables, strike-through, math and
// superscript as Joplin and Obsidian read them); kDoubled marks text when
// doubled (==mark==, ++insert++, %%comment%%); kMaybe needs a look at what
// is around it (an underscore, an ampersand).
enum ByteRole : unsigned char { kText, kMarkup, kDoubled, kMaybe };
constexpr auto kRoles = [] {
    std::array<ByteRole, 256> roles{};
    for (unsigned char c : std::string_view("\\`*[]<>|~$^")) roles[c] = kMarkup;
    for (unsigned char c : std::string_view("=+%")) roles[c] = kDoubled;
    for (unsigned char c : std::string_view("_&")) roles[c] = kMaybe;
    return roles;
}();

// How a line's first character after its blanks would start a block: a
// heading, quote, list item, rule or setext underline. An ordered list
// item is the digits followed by '.' or ')' and a blank: the mark is escaped.
std::size_t BlockMarkAt(std::string_view line, std::size_t first) {
    if (first >= line.size()) return std::string_view::npos;
    const char c = line[first];
    if (c == '#' || c == '-' || c == '+' || c == '=' || c == '>' || c == '*' || c == '_')
        return first;
    std::size_t digits = first;
    while (digits < line.size() && IsDigit(line[digits])) ++digits;
    const bool ordered =
        digits > first && digits - first <= 9 && digits < line.size() &&
        (line[digits] == '.' || line[digits] == ')') &&
        (digits + 1 == line.size() || line[digits + 1] == ' ' || line[digits + 1] == '\t');
    return ordered ? digits : std::string_view::npos;
}

void AppendMarkdownLine(std::string& out, std::string_view line) {
    std::size_t first = 0;
    for (; first < line.size() && (line[first] == ' ' || line[first] == '\t'); ++first) {
        // Blanks at a line's start would be dropped, or make it code.
        for (int n = line[first] == '\t' ? 4 : 1; n > 0; --n) out += kBlank;
    }
    const std::size_t block_mark = BlockMarkAt(line, first);
    std::size_t plain = first;  // where the bytes not yet appended begin
    for (std::size_t i = first; i < line.size(); ++i) {
        const char c = line[i];
        bool escape = i == block_mark;
        switch (kRoles[static_cast<unsigned char>(c)]) {
            case kText:
                break;
            case kMarkup:
                escape = true;
                break;
            case kDoubled:
                escape = escape || (i > 0 && line[i - 1] == c) ||
                         (i + 1 < line.size() && line[i + 1] == c);
                break;
            case kMaybe:
                // An underscore between two letters makes no emphasis.
                escape = escape || (c == '_' ? !(i > 0 && IsWordByte(line[i - 1]) &&
                                                 i + 1 < line.size() && IsWordByte(line[i + 1]))
                                             : StartsReference(line, i));
                break;
        }
        if (!escape) continue;
        out.append(line.substr(plain, i - plain));
        out += '\\';
        plain = i;
    }
    out.append(line.substr(plain));
}

// "\x7F", "\u2028": a character YAML shows only escaped.
void AppendYamlEscape(std::string& out, char32_t code) {
    char text[12];
    if (code < 0x100)
        std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(code));
    else
        std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(code));
    out += text;
}

// The newest of `a` and `b`, either of which may be missing.
std::optional<std::int64_t> Newest(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    if (!a) return b;
    if (!b) return a;
    return std::max(*a, *b);
}

// A folder being written: where it is, the names given in it, and the
// newest creation time met inside it (its own to begin with).
struct OpenFolder {
    std::string path;  // relative, empty at the top
    UniqueNames names;
    std::optional<std::int64_t> newest;
};

std::string Inside(const std::string& folder, std::string_view name) {
    return folder.empty() ? std::string(name) : folder + '/' + std::string(name);
}

class MarkdownTree {
  public:
    MarkdownTree(FolderSink& out, ConversionReport& report, const ProgressSink& step)
        : out_(out), report_(report), step_(step) {}

    void Write(const model::NoteTree& tree) {
        open_.push_back({});
        for (const NoteItem& item : tree.root.children)
            if (item.kind == NoteItem::Kind::kNote) Note(item);
        model::WalkNotes(
            tree.root,
            [this](const NoteItem& item, std::size_t depth) {
                if (item.kind != NoteItem::Kind::kFolder) return false;
                open_.resize(depth);
                Folder(item);
                for (const NoteItem& note : item.children)
                    if (note.kind == NoteItem::Kind::kNote) Note(note);
                return true;
            },
            [this](const NoteItem&, std::size_t depth) { Leave(depth); });
        if (open_.front().newest) out_.SetModificationTime({}, *open_.front().newest);
    }

  private:
    void Folder(const NoteItem& folder) {
        OpenFolder& parent = open_.back();
        std::string base = SafeFileName(folder.text);
        if (base.empty()) base = kUnnamedFolder;
        const std::string name = parent.names.Take(base, {});
        if (name != folder.text) report_.Count(kFoldersRenamedCount);
        OpenFolder opened;
        opened.path = Inside(parent.path, name);
        opened.newest = folder.created;
        out_.MakeFolder(opened.path);
        open_.push_back(std::move(opened));
    }

    // The folder at `depth` is done: its time is that of its newest note.
    void Leave(std::size_t depth) {
        OpenFolder& done = open_[depth];
        if (done.newest) out_.SetModificationTime(done.path, *done.newest);
        open_[depth - 1].newest = Newest(open_[depth - 1].newest, done.newest);
        open_.resize(depth);
    }

    void Note(const NoteItem& note) {
        OpenFolder& folder = open_.back();
        const std::string_view title = model::NoteTitle(note.text);
        std::string base = SafeFileName(title);
        if (base.empty()) base = UntitledNoteName(note.created);
        const std::string name = folder.names.Take(base, ".md");
        if (name.size() != title.size() + 3 || !name.starts_with(title))
            report_.Count(kTitlesRenamedCount);
        const std::string path = Inside(folder.path, name);
        out_.BeginFile(path).Write(MarkdownNote(note));
        out_.EndFile(note.created);
        folder.newest = Newest(folder.newest, note.created);
        if (step_) step_();
    }

    FolderSink& out_;
    ConversionReport& report_;
    const ProgressSink& step_;
    // The folders open from the top down; open_[d] is at depth d.
    std::vector<OpenFolder> open_;
};

}  // namespace

std::string YamlQuoted(std::string_view text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        std::size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text, at);
        if (length == 0) length = 1;  // not UTF-8: the reader made it so
        const char32_t code = length == 1 ? byte : DecodeUtf8(text, at, length);
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code == '\t') {
            out += "\\t";
        } else if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0x2028 ||
                   code == 0x2029 || code == 0xFEFF || code == 0xFFFE || code == 0xFFFF) {
            AppendYamlEscape(out, code);
        } else {
            out += text.substr(at, length);
        }
        at += length;
    }
    return out + '"';
}

std::string MarkdownText(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        if (end == text.size()) break;
        start = end + 1;
    }
    if (text.empty()) lines.clear();
    // Lines run on in a paragraph, each ending in a hard break ('\' before
    // the line end); an empty line between two lines ends the paragraph,
    // and each further empty line, or one at either end, is a paragraph of
    // one &nbsp;, as a run of blank lines shows nothing in Markdown. So a
    // reader can tell every empty line apart, and count them.
    std::string out;
    bool in_paragraph = false;
    std::size_t empty_run = 0;
    bool seen_text = false;
    const auto blank_paragraph = [&out] {
        if (!out.empty()) out += "\n\n";
        out += kBlank;
    };
    for (const std::string_view line : lines) {
        // A line of blanks shows as an empty line, and is written as one.
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            if (!seen_text || ++empty_run > 1) blank_paragraph();
            in_paragraph = false;
            continue;
        }
        if (in_paragraph)
            out += "\\\n";
        else if (!out.empty())
            out += "\n\n";
        AppendMarkdownLine(out, line);
        in_paragraph = true;
        seen_text = true;
        empty_run = 0;
    }
    // Empty lines at the end: the first only ended the paragraph.
    if (seen_text && empty_run >= 1) blank_paragraph();
    return out;
}

std::string MarkdownNote(const NoteItem& note) {
    std::string out = "---\ntitle: " + YamlQuoted(model::NoteTitle(note.text)) + '\n';
    if (const auto time = note.created ? UtcTimeOf(*note.created) : std::nullopt) {
        // Opera keeps no change date: the note is as it was made.
        out += "created: " + Iso8601(*time) + '\n';
        out += "updated: " + Iso8601(*time) + '\n';
    }
    if (!note.url.empty()) out += "source: " + YamlQuoted(note.url) + '\n';
    out += "---\n\n";
    out += MarkdownText(note.text);
    out += '\n';
    return out;
}

void WriteMarkdownNotes(const model::NoteTree& tree, FolderSink& out, ConversionReport& report,
                        const ProgressSink& step) {
    MarkdownTree(out, report, step).Write(tree);
}

}  // namespace quarvo::formats
