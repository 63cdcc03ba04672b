// SPDX-License-Identifier: MIT
// Opera's notes out on arbitrary bytes, in every output: it must never
// crash, must refuse exactly the files whose first line names another
// version, must account for every note (written, or left out in the
// trash), and must write UTF-8 that XML can hold, names every file system
// takes, and markup that no note's text opens or closes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "formats/output_sinks.h"
#include "text/text_encoding.h"
#include "laws.h"
#include "conversions/notes_text.h"

namespace {

struct Model {
    bool refused = false;
    std::size_t notes = 0;  // lines that are "#NOTE" but for blanks around it
};

std::string_view Trimmed(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
}

Model ModelOf(std::string_view text) {
    Model model;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    bool first = true;
    while (!text.empty()) {
        std::size_t end = 0;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = text.substr(0, end);
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n' && (next == end || text[next - 1] == '\r'))
            ++next;
        text.remove_prefix(next);
        constexpr std::string_view kVersion = "Opera Hotlist version ";
        if (first && line.starts_with(kVersion)) {
            const std::string_view version = Trimmed(line.substr(kVersion.size()));
            model.refused = !version.empty() && version != "2.0";
        }
        first = false;
        model.notes += Trimmed(line) == "#NOTE";
    }
    return model;
}

std::size_t Count(std::string_view text, std::string_view part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string_view::npos;
         at += part.size())
        ++n;
    return n;
}

// XML 1.0 holds no control character but tab and line feed.
bool XmlCanHold(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') return false;
    return text.find("\xEF\xBF\xBE") == std::string_view::npos &&
           text.find("\xEF\xBF\xBF") == std::string_view::npos;
}

class Text final : public quarvo::formats::TextSink {
  public:
    void Write(std::string_view piece) override { text += piece; }
    std::string text;
};

class Folder final : public quarvo::formats::FolderSink, private quarvo::formats::TextSink {
  public:
    void MakeFolder(std::string_view relative) override { Add(relative); }
    quarvo::formats::TextSink& BeginFile(std::string_view relative) override {
        Add(relative);
        open_ = relative;
        files[open_];
        return *this;
    }
    void EndFile(std::optional<std::int64_t>) override { open_.clear(); }
    void SetModificationTime(std::string_view, std::int64_t) override {}

    std::map<std::string, std::string> files;

  private:
    void Write(std::string_view piece) override { files[open_] += piece; }
    // Every name is new in its folder, also where case is ignored (ASCII
    // here), and one each system takes.
    void Add(std::string_view relative) {
        QUARVO_LAW(quarvo::formats::IsValidUtf8(relative));
        std::string folded(relative);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        QUARVO_LAW(names_.insert(folded).second);
        const std::string_view name = relative.substr(relative.rfind('/') + 1);
        QUARVO_LAW(!name.empty() && name.size() <= 210);
        QUARVO_LAW(name.front() != '.' && name.front() != ' ' && name.back() != ' ');
        for (const char c : name)
            QUARVO_LAW(static_cast<unsigned char>(c) >= 0x20 &&
                       std::string_view("\\:*?\"<>|").find(c) == std::string_view::npos);
    }
    std::set<std::string> names_;
    std::string open_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    using quarvo::NotesFormat;
    const std::string_view input = AsText(data, size);
    const Model model = ModelOf(input);
    for (const NotesFormat format : {NotesFormat::kMarkdown, NotesFormat::kEnex,
                                     NotesFormat::kEnexPerFolder, NotesFormat::kHtml}) {
        for (const bool keep_trash : {false, true}) {
            Text text;
            Folder folder;
            quarvo::ConversionReport report;
            std::size_t steps = 0;
            const quarvo::NotesExportOutcome done = quarvo::ConvertNotesText(
                input, {format, keep_trash, false}, &text, &folder, report, [&steps] { ++steps; });
            QUARVO_LAW(done.unsupported_version == model.refused);
            if (done.unsupported_version) return 0;
            const auto notes = static_cast<std::size_t>(done.notes);
            QUARVO_LAW(steps == notes);
            QUARVO_LAW(
                notes + static_cast<std::size_t>(report.CountOf(quarvo::kTrashNotesLeftOutCount)) ==
                model.notes);
            if (keep_trash) QUARVO_LAW(notes == model.notes);
            std::size_t written = 0;
            for (const auto& [name, bytes] : folder.files) {
                QUARVO_LAW(quarvo::formats::IsValidUtf8(bytes));
                written += format == NotesFormat::kMarkdown ? 1 : Count(bytes, "<note>");
                if (format == NotesFormat::kEnexPerFolder) QUARVO_LAW(XmlCanHold(bytes));
            }
            if (format == NotesFormat::kEnex || format == NotesFormat::kHtml) {
                QUARVO_LAW(quarvo::formats::IsValidUtf8(text.text));
                QUARVO_LAW(XmlCanHold(text.text));
                // No note's text opens or closes markup of its own.
                written = Count(text.text, format == NotesFormat::kEnex ? "<note>" : "<article>");
                QUARVO_LAW(
                    Count(text.text, format == NotesFormat::kEnex ? "</note>" : "</article>") ==
                    written);
                QUARVO_LAW(format != NotesFormat::kEnex || Count(text.text, "]]>") == written);
            }
            QUARVO_LAW(written == notes);
            (void)report.Text("");
        }
    }
    return 0;
}
