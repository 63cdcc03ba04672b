// SPDX-License-Identifier: MIT
#include "formats/opera_notes_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "formats/adr_lines.h"
#include "text/text_encoding.h"
#include "formats/utc_time.h"

namespace quarvo::formats {
namespace {

using model::NoteItem;

constexpr char kOperaBreak = '\x02';

// What a value names itself by in a warning: its first line, or the kind.
std::string_view PlaceOf(std::string_view text, std::string_view otherwise) {
    const std::string_view title = model::NoteTitle(text);
    return title.empty() ? otherwise : title;
}

class TreeBuilder {
  public:
    TreeBuilder(std::string_view notes, ConversionReport& report)
        : report_(report),
          header_(ReadAdrHeader(notes)),
          eight_bit_(OptionsNameOtherEncoding(header_.options)) {}

    model::NoteTree Build(std::string_view notes) {
        model::NoteTree tree;
        tree.version = std::string(header_.version);
        std::vector<NoteItem*> open{&tree.root};
        ForEachAdrEntry(notes, [&](const AdrEntry& entry) {
            NoteItem& folder = *open.back();
            switch (entry.kind) {
                case AdrEntry::Kind::kFolder:
                    folder.children.push_back(Folder(entry));
                    // Only the innermost open folder grows, so the pointer holds.
                    open.push_back(&folder.children.back());
                    break;
                case AdrEntry::Kind::kNote:
                    folder.children.push_back(Note(entry));
                    break;
                case AdrEntry::Kind::kSeparator:
                    folder.children.push_back(
                        NoteItem{NoteItem::Kind::kSeparator, {}, {}, {}, {}, {}});
                    break;
                case AdrEntry::Kind::kFolderEnd:
                    if (open.size() > 1) open.pop_back();
                    break;
                case AdrEntry::Kind::kUrl:
                case AdrEntry::Kind::kContact:
                case AdrEntry::Kind::kOther:  // #DELETED: nothing of a notes file
                    break;
            }
        });
        return tree;
    }

  private:
    NoteItem Note(const AdrEntry& entry) {
        NoteItem note;
        note.kind = NoteItem::Kind::kNote;
        note.text = Text(entry.Value("NAME"));
        const std::string_view place = PlaceOf(note.text, "(a note without text)");
        note.url = Utf8(entry.Value("URL"), place);
        note.created = Date(entry, place);
        return note;
    }

    NoteItem Folder(const AdrEntry& entry) {
        NoteItem folder;
        folder.kind = NoteItem::Kind::kFolder;
        folder.text = Text(entry.Value("NAME"));
        for (char& c : folder.text)
            if (c == '\n') c = ' ';
        folder.created = Date(entry, PlaceOf(folder.text, "(a folder without a name)"));
        folder.is_trash = entry.Value("TRASH FOLDER") == "YES";
        return folder;
    }

    // A value in UTF-8 with Opera's line breaks made '\n'. The break bytes
    // are ASCII, so they are found before the value is decoded.
    std::string Text(std::string_view value) {
        std::string lines;
        lines.reserve(value.size());
        bool lone = false;
        for (std::size_t at = 0; at < value.size();) {
            const std::size_t mark = std::min(value.find(kOperaBreak, at), value.size());
            lines.append(value.substr(at, mark - at));
            if (mark == value.size()) break;
            lines += '\n';
            const bool pair = mark + 1 < value.size() && value[mark + 1] == kOperaBreak;
            lone = lone || !pair;
            at = mark + (pair ? 2 : 1);
        }
        std::string text = Utf8(lines, {});
        if (lone) report_.Warn(kLoneBreakWarning, PlaceOf(text, "(a note without text)"));
        return text;
    }

    // `value` in UTF-8. `place` names the item in a warning; empty while the
    // text that names it is read, which then names itself.
    std::string Utf8(std::string_view value, std::string_view place) {
        if (!eight_bit_ && IsValidUtf8(value)) return std::string(value);
        std::string text = Windows1252ToUtf8(value);
        // A file that says it is 8-bit is no fault, except in the five
        // bytes its code page leaves undefined.
        if (!eight_bit_ || value.find_first_of("\x81\x8D\x8F\x90\x9D") != std::string_view::npos)
            report_.Warn(kNotUtf8Warning, place.empty() ? PlaceOf(text, "(no text)") : place);
        return text;
    }

    std::optional<std::int64_t> Date(const AdrEntry& entry, std::string_view place) {
        const std::string_view value = entry.Value("CREATED");
        const auto seconds = LeadingSeconds(value);
        if (!seconds && !value.empty()) report_.Warn(kNoDateWarning, place);
        // No output can write a later one, nor a file system keep it.
        if (seconds && !UtcTimeOf(*seconds)) {
            report_.Warn(kFarDateWarning, place);
            return std::nullopt;
        }
        return seconds;
    }

    ConversionReport& report_;
    const AdrHeader header_;
    const bool eight_bit_;
};

}  // namespace

std::optional<std::int64_t> LeadingSeconds(std::string_view value) noexcept {
    std::size_t digits = 0;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
    // 18 digits always fit in 64 bits.
    if (digits == 0 || digits > 18) return std::nullopt;
    std::int64_t n = 0;
    for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (value[i] - '0');
    return n;
}

model::NoteTree ReadOperaNotes(std::string_view notes, ConversionReport& report) {
    return TreeBuilder(notes, report).Build(notes);
}

}  // namespace quarvo::formats
