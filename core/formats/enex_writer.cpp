// SPDX-License-Identifier: MIT
#include "formats/enex_writer.h"

#include <string_view>
#include <vector>

#include "formats/markup_text.h"
#include "formats/file_names.h"
#include "text/text_encoding.h"
#include "formats/utc_time.h"

namespace quarvo::formats {
namespace {

using model::NoteItem;

// The declarations name Evernote's document types, as Evernote's own
// exports do; no importer fetches them.
constexpr std::string_view kPrologue =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE en-export SYSTEM \"http://xml.evernote.com/pub/evernote-export3.dtd\">\n"
    "<en-export application=\"Quarvo\" version=\"1.0\">\n";
constexpr std::string_view kEpilogue = "</en-export>\n";
constexpr std::string_view kEnmlPrologue =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
    "<!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\">\n";
constexpr std::size_t kMostTitleCharacters = 255;
constexpr std::size_t kMostTagCharacters = 100;
// Evernote's limit of tags on a note; a file may nest folders far deeper.
constexpr std::size_t kMostTags = 100;
constexpr std::string_view kBlank = "&#160;";  // a blank that markup keeps

// The separators of Unicode's space category (and the controls), which
// Evernote allows at neither end of a title or tag.
bool IsSpaceAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = static_cast<unsigned char>(text[at]);
    length = byte < 0x80 ? 1 : Utf8SequenceLength(text, at);
    if (length <= 1) {
        length = 1;
        return byte <= 0x20;
    }
    const char32_t c = DecodeUtf8(text, at, length);
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000 || (c >= 0x80 && c < 0xA0);
}

std::string_view TrimmedSpaces(std::string_view text) {
    std::size_t length = 0;
    while (!text.empty() && IsSpaceAt(text, 0, length)) text.remove_prefix(length);
    for (std::size_t at = 0, end = 0; at < text.size(); at += length) {
        if (!IsSpaceAt(text, at, length)) end = at + length;
        if (at + length >= text.size()) return text.substr(0, end);
    }
    return text;
}

// One line of text with no control characters, within `characters`.
std::string OneLine(std::string_view text, std::size_t characters) {
    std::string line(text);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return std::string(TrimmedSpaces(CutCharacters(TrimmedSpaces(line), characters)));
}

// A folder's name as a tag: Evernote takes no comma in one.
std::string Tag(const NoteItem& folder) {
    std::string name = OneLine(folder.text, kMostTagCharacters);
    for (char& c : name)
        if (c == ',') c = ';';
    return name.empty() ? std::string(kUnnamedFolder) : name;
}

// One line of a note as ENML: blanks that markup would fold kept as such.
// Returns whether a character was replaced.
bool AppendLine(std::string& out, std::string_view line) {
    bool replaced = false;
    out += "<div>";
    if (line.empty()) out += "<br/>";
    bool after_blank = true;  // a blank at the line's start is kept too
    for (std::size_t at = 0; at < line.size();) {
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        if (end > at) {
            replaced |= AppendMarkupText(out, line.substr(at, end - at));
            after_blank = false;
        }
        if (end == line.size()) break;
        if (line[end] == '\t') {
            for (int k = 0; k < 4; ++k) out += kBlank;
        } else {
            out += after_blank ? kBlank : " ";
        }
        after_blank = true;
        at = end + 1;
    }
    out += "</div>";
    return replaced;
}

class EnexDocument {
  public:
    EnexDocument(TextSink& sink, ConversionReport& report, const ProgressSink& step)
        : text_(sink), report_(report), step_(step) {
        text_.text() += kPrologue;
    }

    void Note(const NoteItem& note, const std::vector<std::string>& tags) {
        std::string& out = text_.text();
        const std::string title = EnexTitle(note);
        if (title != model::NoteTitle(note.text)) report_.Count(kTitlesChangedCount);
        bool replaced = false;
        out += "  <note>\n    <title>";
        replaced |= AppendMarkupText(out, title);
        out += "</title>\n    <content><![CDATA[";
        out += kEnmlPrologue;
        out += "<en-note>";
        if (!note.text.empty()) {
            for (std::size_t start = 0;;) {
                const std::size_t end = std::min(note.text.find('\n', start), note.text.size());
                replaced |= AppendLine(out, std::string_view(note.text).substr(start, end - start));
                if (end == note.text.size()) break;
                start = end + 1;
            }
        }
        out += "</en-note>]]></content>\n";
        if (const auto time = note.created ? UtcTimeOf(*note.created) : std::nullopt) {
            // Opera keeps no change date: the note is as it was made.
            const std::string stamp = CompactIso8601(*time);
            out += "    <created>" + stamp + "</created>\n";
            out += "    <updated>" + stamp + "</updated>\n";
        }
        for (const std::string& tag : tags) {
            out += "    <tag>";
            replaced |= AppendMarkupText(out, tag);
            out += "</tag>\n";
        }
        if (!note.url.empty()) {
            out += "    <note-attributes>\n      <source-url>";
            replaced |= AppendMarkupText(out, note.url);
            out += "</source-url>\n    </note-attributes>\n";
        }
        out += "  </note>\n";
        if (replaced) report_.Warn(kNotInXmlWarning, title);
        text_.Pass();
        if (step_) step_();
    }

    void End() {
        text_.text() += kEpilogue;
        text_.Flush();
    }

  private:
    BlockedText text_;
    ConversionReport& report_;
    const ProgressSink& step_;
};

// The tags of a folder at `depth` (1 at the top): those of the folders
// above it and its own name, the first kMostTags of them.
void Descend(std::vector<std::string>& tags, const NoteItem& folder, std::size_t depth) {
    if (depth > kMostTags) return;
    tags.resize(depth - 1);
    tags.push_back(Tag(folder));
}

// "Work - Projects": enough of the path for a file name.
std::string PathName(const std::vector<std::string>& tags) {
    std::string path;
    for (const std::string& tag : tags) {
        if (path.size() > 4 * kMostNameBytes) break;
        path += (path.empty() ? "" : " - ") + tag;
    }
    return path;
}

// The notes of `folder` itself, in the file's order.
template <class Visit>
void ForEachOwnNote(const NoteItem& folder, Visit visit) {
    for (const NoteItem& item : folder.children)
        if (item.kind == NoteItem::Kind::kNote) visit(item);
}

}  // namespace

std::string EnexTitle(const NoteItem& note) {
    std::string title = OneLine(model::NoteTitle(note.text), kMostTitleCharacters);
    return title.empty() ? UntitledNoteName(note.created) : title;
}

void WriteEnex(const model::NoteTree& tree, TextSink& out, ConversionReport& report,
               const ProgressSink& step) {
    EnexDocument document(out, report, step);
    std::vector<std::string> tags;
    ForEachOwnNote(tree.root, [&](const NoteItem& note) { document.Note(note, tags); });
    model::WalkNotes(
        tree.root,
        [&](const NoteItem& item, std::size_t depth) {
            if (item.kind != NoteItem::Kind::kFolder) return false;
            Descend(tags, item, depth);
            ForEachOwnNote(item, [&](const NoteItem& note) { document.Note(note, tags); });
            return true;
        },
        [](const NoteItem&, std::size_t) {});
    document.End();
}

void WriteEnexPerFolder(const model::NoteTree& tree, FolderSink& out, ConversionReport& report,
                        const ProgressSink& step) {
    UniqueNames names;
    std::vector<std::string> tags;
    const auto write = [&](const NoteItem& folder, std::string_view name) {
        bool any = false;
        ForEachOwnNote(folder, [&](const NoteItem&) { any = true; });
        if (!any) return;
        std::string safe = SafeFileName(name);
        if (safe.empty()) safe = kUnnamedFolder;
        EnexDocument document(out.BeginFile(names.Take(safe, ".enex")), report, step);
        ForEachOwnNote(folder, [&](const NoteItem& note) { document.Note(note, tags); });
        document.End();
        out.EndFile();
    };
    write(tree.root, kTopNotebookName);
    model::WalkNotes(
        tree.root,
        [&](const NoteItem& item, std::size_t depth) {
            if (item.kind != NoteItem::Kind::kFolder) return false;
            Descend(tags, item, depth);
            write(item, PathName(tags));
            return true;
        },
        [](const NoteItem&, std::size_t) {});
}

}  // namespace quarvo::formats
