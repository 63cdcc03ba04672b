// SPDX-License-Identifier: MIT
// Opera's notes out: the reader, the file names, the three writers against
// golden files of the hand-made notes file that holds every case, the
// output as a whole (a missing input, a folder with files in it, a cancel,
// another version), and the real notes files with every note accounted for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <map>
#include <set>
#include <string>

#include "formats/enex_writer.h"
#include "formats/markdown_notes_writer.h"
#include "formats/file_names.h"
#include "formats/opera_notes_reader.h"
#include "formats/utc_time.h"
#include "conversions/notes_text.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/conversions/notes_export.h"
#include "quarvo/text/text_search.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

const std::string kData = QUARVO_TEST_DATA_DIR;
constexpr std::string_view kHeader =
    "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n";

class MemoryText final : public formats::TextSink {
  public:
    void Write(std::string_view piece) override { text += piece; }
    std::string text;
};

// A folder tree kept in memory: each file's bytes and time by its name.
class MemoryFolder final : public formats::FolderSink, private formats::TextSink {
  public:
    void MakeFolder(std::string_view relative) override {
        EXPECT_TRUE(folders.insert(std::string(relative)).second) << relative;
    }
    formats::TextSink& BeginFile(std::string_view relative) override {
        open_ = relative;
        EXPECT_TRUE(files.emplace(open_, "").second) << relative;
        return *this;
    }
    void EndFile(std::optional<std::int64_t> modified) override {
        if (modified) times[open_] = *modified;
        open_.clear();
    }
    void SetModificationTime(std::string_view relative, std::int64_t seconds) override {
        times[std::string(relative)] = seconds;
    }

    std::set<std::string> folders;
    std::map<std::string, std::string> files;
    std::map<std::string, std::int64_t> times;

  private:
    void Write(std::string_view piece) override { files[open_] += piece; }
    std::string open_;
};

model::NoteTree Read(std::string_view text, ConversionReport& report) {
    return formats::ReadOperaNotes(std::string(kHeader) + std::string(text), report);
}

// The tree written compactly: N note (its text with '\n' as '|'), F folder
// name, T trash folder, S separator, ')' a folder's end.
std::string Outline(const model::NoteTree& tree) {
    std::string out;
    model::WalkNotes(
        tree.root,
        [&](const model::NoteItem& item, std::size_t) {
            switch (item.kind) {
                case model::NoteItem::Kind::kNote: {
                    std::string text = item.text;
                    for (char& c : text)
                        if (c == '\n') c = '|';
                    out += "N" + text;
                    if (item.created) out += "@" + std::to_string(*item.created);
                    break;
                }
                case model::NoteItem::Kind::kFolder:
                    out += (item.is_trash ? "T" : "F") + item.text + "(";
                    break;
                case model::NoteItem::Kind::kSeparator:
                    out += "S";
                    break;
            }
            out += ' ';
            return true;
        },
        [&](const model::NoteItem&, std::size_t) { out += ") "; });
    return out;
}

TEST(NotesReader, ReadsTheTreeAsOperaDoes) {
    struct Case {
        const char* name;
        std::string text;
        std::string outline;
        std::string warnings;  // what the report warns of, in short
    } cases[] = {
        {"line breaks are byte pairs; a lone byte breaks too, and is warned of",
         "#NOTE\n\tNAME=a\x02\x02"
         "b\x02\x02\x02"
         "c\x02\n",
         "Na|b||c| ", "lone"},
        {"folders, separators, the trash and an unclosed folder",
         "#FOLDER\n\tNAME=T\n\tTRASH FOLDER=YES\n\n#NOTE\n\tNAME=gone\n-\n#SEPERATOR\n\n"
         "#FOLDER\n\tNAME=f\x02\x02g\n\n#NOTE\n\tNAME=kept\n",
         "TT( Ngone ) S Ff g( Nkept ) ", ""},
        {"a date is the digits it starts with, whatever follows",
         "#NOTE\n\tNAME=a\n\tCREATED=1150000000x\n\n#NOTE\n\tNAME=b\n\tCREATED=soon\n",
         "Na@1150000000 Nb ", "dates"},
        {"a date no output can write is left out",
         "#NOTE\n\tNAME=a\n\tCREATED=253402300800\n", "Na ", "dates"},
        {"a value that is not UTF-8 is read as Windows-1252",
         "#NOTE\n\tNAME=caf\xE9\n\n#NOTE\n\tURL=\xC3\xA9\n", "Ncaf\xC3\xA9 N ", "bytes"},
        {"bookmarks and deleted entries are no notes", "#URL\n\tNAME=u\n\n#DELETED\n\n#NOTE\n",
         "N ", ""},
    };
    for (const Case& c : cases) {
        ConversionReport report;
        EXPECT_EQ(Outline(Read(c.text, report)), c.outline) << c.name;
        std::string warnings;
        for (const auto& warning : report.warnings())
            warnings +=
                (warnings.empty() ? "" : ",") + warning.what.substr(0, warning.what.find(' '));
        EXPECT_EQ(warnings, c.warnings) << c.name;
    }
    ConversionReport report;
    const model::NoteTree eight_bit = formats::ReadOperaNotes(
        "Opera Hotlist version 2.0\nOptions: encoding = iso-8859-1\n\n#NOTE\n\tNAME=\xE9t\xE9\n",
        report);
    EXPECT_EQ(Outline(eight_bit), "N\xC3\xA9t\xC3\xA9 ");
    EXPECT_TRUE(report.warnings().empty());
}

TEST(NoteFileNames, EverySystemTakesTheName) {
    const std::string cjk100 = [] {
        std::string s;
        for (int i = 0; i < 100; ++i) s += "\xE6\xBC\xA2";  // 漢: three bytes
        return s;
    }();
    const struct {
        std::string title;
        std::string name;
    } cases[] = {
        {"Plain title", "Plain title"},
        {"Re: a/b\\c*d?\"e\"<f>|g", "Re_ a_b_c_d__e__f__g"},
        {"tab\there, control\x01", "tab here, control_"},
        {"  ...dots and blanks at both ends. . ", "dots and blanks at both ends"},
        {"CON", "CON_"},
        {"con.txt", "con_.txt"},
        {"Lpt9", "Lpt9_"},
        {"COM\xC2\xB9", "COM\xC2\xB9_"},
        {"CONSOLE", "CONSOLE"},
        {"...", ""},
        {std::string(150, 'x'), std::string(100, 'x')},
        {std::string(99, 'x') + ". y", std::string(99, 'x')},
        // 100 characters, but 300 bytes: cut to the bytes a Linux name holds.
        {cjk100, cjk100.substr(0, 198)},
    };
    for (const auto& c : cases) EXPECT_EQ(formats::SafeFileName(c.title), c.name) << c.title;
}

TEST(NoteFileNames, NamesStayApartWhereCaseIsIgnored) {
    formats::UniqueNames names;
    EXPECT_EQ(names.Take("Ideas", ".md"), "Ideas.md");
    EXPECT_EQ(names.Take("IDEAS", ".md"), "IDEAS (2).md");
    EXPECT_EQ(names.Take("ideas", ".md"), "ideas (3).md");
    EXPECT_EQ(names.Take("Ideas.md", ""), "Ideas.md (2)");  // a folder meets a file
    EXPECT_EQ(names.Take("\xD0\x97\xD0\xB0\xD0\xBC", ".md"), "\xD0\x97\xD0\xB0\xD0\xBC.md");
    EXPECT_EQ(names.Take("\xD0\xB7\xD0\x90\xD0\x9C", ".md"), "\xD0\xB7\xD0\x90\xD0\x9C (2).md");
    EXPECT_EQ(names.Take("\xC3\x89t\xC3\xA9", ".md"), "\xC3\x89t\xC3\xA9.md");
    EXPECT_EQ(names.Take("\xC3\xA9T\xC3\x89", ".md"), "\xC3\xA9T\xC3\x89 (2).md");
    // Thousands of one title are numbered in turn, each number tried once.
    for (int i = 1; i < 20000; ++i) (void)names.Take("Note", ".md");
    EXPECT_EQ(names.Take("Note", ".md"), "Note (20000).md");
    // The number fits within the limits: the title gives way.
    const std::string long_title(100, 'x');
    EXPECT_EQ(names.Take(long_title, ".md"), long_title + ".md");
    EXPECT_EQ(names.Take(long_title, ".md"), std::string(96, 'x') + " (2).md");
}

TEST(NotesWriters, MarkdownShowsEachLineAsTyped) {
    const struct {
        std::string text;
        std::string markdown;
    } cases[] = {
        {"", ""},
        {"one\ntwo", "one\\\ntwo"},
        {"a\n\nb", "a\n\nb"},
        {"a\n\n\nb", "a\n\n&nbsp;\n\nb"},
        {"\na\n", "&nbsp;\n\na\n\n&nbsp;"},
        {"a\n \t\nb\n  ", "a\n\nb\n\n&nbsp;"},
        {"- a\n+ b\n* c\n# d\n> e\n=\n---",
         "\\- a\\\n\\+ b\\\n\\* c\\\n\\# d\\\n\\> e\\\n\\=\\\n\\---"},
        {"1. a\n2) b\n2015. c\n1.5 kg\n1234567890. big",
         "1\\. a\\\n2\\) b\\\n2015\\. c\\\n1.5 kg\\\n1234567890. big"},
        {"  two\n\ttab", "&nbsp;&nbsp;two\\\n&nbsp;&nbsp;&nbsp;&nbsp;tab"},
        {"*a* _b_ snake_case __x__", "\\*a\\* \\_b\\_ snake_case \\_\\_x\\_\\_"},
        {"[l](u) <b> `c` a|b ~s~ $m$ ^s^",
         "\\[l\\](u) \\<b\\> \\`c\\` a\\|b \\~s\\~ \\$m\\$ \\^s\\^"},
        {"==m== a=b ++i++ 1+1 %%c%% 5%", "\\=\\=m\\=\\= a=b \\+\\+i\\+\\+ 1+1 \\%\\%c\\%\\% 5%"},
        {"&amp; &#38; &#x26; & a&b;", "\\&amp; \\&#38; \\&#x26; & a\\&b;"},
        {"C:\\\nnext", "C:\\\\\\\nnext"},
    };
    for (const auto& c : cases) EXPECT_EQ(formats::MarkdownText(c.text), c.markdown) << c.text;
}

TEST(NotesWriters, YamlAndDatesAreWrittenAsReadersExpect) {
    EXPECT_EQ(formats::YamlQuoted("a \"b\" \\ c\td\x01\x7F\xC2\x85\xE2\x80\xA8"),
              "\"a \\\"b\\\" \\\\ c\\td\\x01\\x7F\\x85\\u2028\"");
    const struct {
        std::int64_t seconds;
        std::string iso;
    } times[] = {{0, "1970-01-01T00:00:00Z"},
                 {951782400, "2000-02-29T00:00:00Z"},
                 {1449469720, "2015-12-07T06:28:40Z"},
                 {253402300799, "9999-12-31T23:59:59Z"}};
    for (const auto& t : times) {
        const auto time = formats::UtcTimeOf(t.seconds);
        ASSERT_TRUE(time) << t.seconds;
        EXPECT_EQ(formats::Iso8601(*time), t.iso);
    }
    EXPECT_EQ(formats::CompactIso8601(*formats::UtcTimeOf(1449469720)), "20151207T062840Z");
    EXPECT_FALSE(formats::UtcTimeOf(253402300800));
    // A date past what the formats hold is left out, not written wrong.
    const std::string note =
        formats::MarkdownNote({model::NoteItem::Kind::kNote, "t", "", 999999999999999, false, {}});
    EXPECT_EQ(note, "---\ntitle: \"t\"\n---\n\nt\n");
}

TEST(NotesWriters, EnexTitlesAreWhatEvernoteTakes) {
    const auto title = [](std::string text, std::optional<std::int64_t> created = {}) {
        return formats::EnexTitle(
            {model::NoteItem::Kind::kNote, std::move(text), "", created, false, {}});
    };
    EXPECT_EQ(title("  first line  \nsecond"), "first line");
    EXPECT_EQ(title("\xC2\xA0"
                    "a\x12"
                    "b\xE3\x80\x80"),
              "a b");
    EXPECT_EQ(title("", 1449469720), "Note 2015-12-07");
    EXPECT_EQ(title(" \n"), "Note");
    EXPECT_EQ(title(std::string(300, 'x')), std::string(255, 'x'));
}

// The files below `folder` (UTF-8 names, '/' between folders) with their
// bytes. Git keeps no empty folder, so folders are checked apart.
std::map<std::string, std::string> FilesOnDisk(const fs::path& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory()) continue;
        const std::u8string name = fs::relative(entry.path(), folder).generic_u8string();
        // Opened by its path, which holds names of every script on Windows too.
        std::ifstream file(entry.path(), std::ios::binary);
        tree[std::string(name.begin(), name.end())] =
            std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return tree;
}

struct EveryCase {
    ConversionReport report;
    NotesExportOutcome outcome;
};

EveryCase ConvertEveryCase(NotesFormat format, formats::TextSink* text,
                           formats::FolderSink* folder) {
    EveryCase done;
    int steps = 0;
    done.outcome =
        ConvertNotesText(GetBytes(kData + "/notes_every_case.adr"), {format, false, false}, text,
                         folder, done.report, [&] { ++steps; });
    EXPECT_EQ(steps, 28);
    EXPECT_EQ(done.outcome.notes, 28);
    return done;
}

TEST(NotesGolden, EveryCaseAsMarkdown) {
    MemoryFolder folder;
    const EveryCase done = ConvertEveryCase(NotesFormat::kMarkdown, nullptr, &folder);
    EXPECT_EQ(folder.files, FilesOnDisk(kData + "/golden/notes_every_case.md"));
    EXPECT_EQ(folder.folders,
              (std::set<std::string>{"Empty folder", "Ideas.md (2)", "Left open", "Unnamed folder",
                                     "Work", "Work/Projects_ 2015_16", "Work/Projects_ 2015_16/a",
                                     "Work/Projects_ 2015_16/a/b"}));
    EXPECT_EQ(done.report.Text("R"),
              "R\nnotes: 28\nfolders: 8\nseparators (nothing written): 2\n"
              "notes in the trash left out: 2\ntitles renamed for their file names: 12\n"
              "folder names changed for the file system: 3\n"
              "Warning: lone 0x02 bytes (Opera writes a line break as two), read as line breaks "
              "(1 time): \"lone\"\n"
              "Warning: bytes not valid in the file's encoding (1 time): \"caf\xC3\xA9 in "
              "Windows-1252\"\n"
              "Warning: dates that are not numbers (1 time): \"dateless\"\n");
    // Each file carries its note's date; each folder the newest inside it.
    EXPECT_EQ(folder.times.at("Shopping list.md"), 1449469720);
    EXPECT_EQ(folder.times.at("Work/Projects_ 2015_16/a/b/Depth four.md"), 1449469742);
    EXPECT_EQ(folder.times.at("Work/Projects_ 2015_16"), 1449469742);
    EXPECT_EQ(folder.times.at("Work"), 1449469743);
    EXPECT_EQ(folder.times.at("Empty folder"), 1449469720);  // its own date
    EXPECT_EQ(folder.times.at(""), 1449469746);
    EXPECT_EQ(folder.times.count("dateless.md"), 0u);
}

TEST(NotesGolden, EveryCaseAsEnex) {
    MemoryText text;
    const EveryCase done = ConvertEveryCase(NotesFormat::kEnex, &text, nullptr);
    EXPECT_EQ(text.text, GetBytes(kData + "/golden/notes_every_case.enex"));
    EXPECT_EQ(done.report.CountOf(formats::kTitlesChangedCount), 4);
    MemoryFolder folder;
    ConvertEveryCase(NotesFormat::kEnexPerFolder, nullptr, &folder);
    EXPECT_EQ(folder.files, FilesOnDisk(kData + "/golden/notes_every_case.enex-per-folder"));
    EXPECT_TRUE(folder.folders.empty());
}

TEST(NotesGolden, EveryCaseAsHtml) {
    MemoryText text;
    ConvertEveryCase(NotesFormat::kHtml, &text, nullptr);
    EXPECT_EQ(text.text, GetBytes(kData + "/golden/notes_every_case.html"));
}

TEST(NotesExport, TheTrashIsKeptWhenAsked) {
    const std::string notes =
        std::string(kHeader) +
        "#FOLDER\n\tNAME=Trash\n\tTRASH FOLDER=YES\n\n#NOTE\n\tNAME=gone\n\n"
        "#FOLDER\n\tNAME=inner\n\n#NOTE\n\tNAME=gone too\n-\n-\n#NOTE\n\tNAME=kept\n";
    for (const bool keep : {false, true}) {
        MemoryFolder folder;
        ConversionReport report;
        const NotesExportOutcome done = ConvertNotesText(
            notes, {NotesFormat::kMarkdown, keep, false}, nullptr, &folder, report);
        EXPECT_EQ(done.notes, keep ? 3 : 1);
        EXPECT_EQ(report.CountOf(kTrashNotesLeftOutCount), keep ? 0 : 2);
        EXPECT_EQ(folder.files.count("Trash/inner/gone too.md"), keep ? 1u : 0u);
        EXPECT_EQ(folder.files.count("kept.md"), 1u);
    }
}

// A hostile file nests folders far deeper than any path can go: the
// writers walk it without recursion and keep what they write bounded.
TEST(NotesExport, DeepNestingStaysBounded) {
    constexpr int kDepth = 100000;
    std::string notes(kHeader);
    for (int i = 0; i < kDepth; ++i) notes += "#FOLDER\n\tNAME=f\n\n";
    notes += "#NOTE\n\tNAME=deep\n";
    ConversionReport report;
    MemoryText enex;
    ConvertNotesText(notes, {NotesFormat::kEnex, false, false}, &enex, nullptr, report);
    EXPECT_EQ(CountOccurrences(enex.text, "<tag>"), 100);
    MemoryText html;
    ConvertNotesText(notes, {NotesFormat::kHtml, false, false}, &html, nullptr, report);
    EXPECT_LT(html.text.size(), std::size_t{kDepth} * 100);
}

TEST(NotesExport, FormatFollowsTheOutputsName) {
    EXPECT_EQ(NotesFormatForName("a/notes.enex"), NotesFormat::kEnex);
    EXPECT_EQ(NotesFormatForName("Notes.ENEX"), NotesFormat::kEnex);
    EXPECT_EQ(NotesFormatForName("notes.htm"), NotesFormat::kHtml);
    EXPECT_EQ(NotesFormatForName("notes.Html"), NotesFormat::kHtml);
    EXPECT_EQ(NotesFormatForName("notes.md"), NotesFormat::kMarkdown);
    EXPECT_EQ(NotesFormatForName("enex"), NotesFormat::kMarkdown);
    EXPECT_TRUE(WritesFolder(NotesFormat::kEnexPerFolder));
    EXPECT_FALSE(WritesFolder(NotesFormat::kHtml));
}

// The output appears whole or not at all, and never mixes with what the
// user has in a folder.
TEST(NotesExport, WritesTheOutputWholeOrNotAtAll) {
    TempFolder temp;
    const std::string input = temp.File("notes.adr");
    PutBytes(input, std::string(kHeader) +
                        "#NOTE\n\tNAME=one\n\n#NOTE\n\tNAME=two\n\tCREATED=1449469720\n");
    const std::string folder = temp.File("out");
    ConversionReport report;

    // A missing input touches nothing.
    const NotesExportOutcome missing = RunNotesExport({temp.File("gone.adr"), folder}, {}, report);
    EXPECT_TRUE(missing.input_missing);
    EXPECT_FALSE(fs::exists(folder));

    // Cancelled after the first note: nothing at the target, nothing left.
    int asked = 0;
    EXPECT_THROW(RunNotesExport({input, folder}, {}, report, {}, [&] { return ++asked > 1; }),
                 EConversionCancelled);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(temp.EntryCount(), 1u);

    // A folder of the user's with a file in it is refused, then replaced whole.
    fs::create_directory(folder);
    PutBytes(temp.File("out/mine.txt"), "mine");
    EXPECT_THROW(RunNotesExport({input, folder}, {}, report), EFCreateError);
    EXPECT_EQ(GetBytes(temp.File("out/mine.txt")), "mine");
    const NotesExportOutcome done =
        RunNotesExport({input, folder}, {NotesFormat::kMarkdown, false, true}, report);
    EXPECT_EQ(done.notes, 2);
    EXPECT_FALSE(fs::exists(temp.File("out/mine.txt")));
    EXPECT_TRUE(fs::exists(temp.File("out/two.md")));
#ifndef _WIN32
    // Each file and the folder carry the date the note was made.
    for (const char* name : {"out/two.md", "out"}) {
        struct stat written {};
        ASSERT_EQ(stat(temp.File(name).c_str(), &written), 0);
        EXPECT_EQ(written.st_mtime, 1449469720) << name;
    }
#endif

    // A file output cancelled keeps the old file; another version writes nothing.
    const std::string page = temp.File("notes.html");
    PutBytes(page, "old");
    EXPECT_THROW(
        RunNotesExport({input, page}, {NotesFormat::kHtml}, report, {}, [] { return true; }),
        EConversionCancelled);
    PutBytes(temp.File("v3.adr"), "Opera Hotlist version 3.0\n\n#NOTE\n\tNAME=x\n");
    EXPECT_TRUE(RunNotesExport({temp.File("v3.adr"), page}, {NotesFormat::kHtml}, report)
                    .unsupported_version);
    EXPECT_EQ(GetBytes(page), "old");
    EXPECT_EQ(temp.EntryCount(), 4u);  // notes.adr, v3.adr, out, notes.html and nothing else
}

// The real notes files: every note is written or, in the trash, left out.
TEST(NotesCorpus, EveryNoteIsAccountedFor) {
    std::size_t files = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(QUARVO_CORPUS_DIR, error)) {
        if (entry.path().filename().string().find("notes") == std::string::npos) continue;
        ++files;
        const std::string notes = GetBytes(entry.path().string());
        const int total = CountOccurrences(notes, "#NOTE");
        for (const NotesFormat format : {NotesFormat::kMarkdown, NotesFormat::kEnex,
                                         NotesFormat::kEnexPerFolder, NotesFormat::kHtml}) {
            SCOPED_TRACE(entry.path().string());
            MemoryFolder folder;
            MemoryText text;
            ConversionReport report;
            const NotesExportOutcome done =
                ConvertNotesText(notes, {format, false, false}, &text, &folder, report);
            EXPECT_GT(done.notes, 0);
            EXPECT_EQ(done.notes + report.CountOf(kTrashNotesLeftOutCount), total);
            if (format == NotesFormat::kMarkdown) {
                EXPECT_EQ(folder.files.size(), static_cast<std::size_t>(done.notes));
            } else if (format == NotesFormat::kEnexPerFolder) {
                int written = 0;
                for (const auto& [name, bytes] : folder.files)
                    written += CountOccurrences(bytes, "<note>");
                EXPECT_EQ(written, done.notes);
            } else {
                EXPECT_EQ(CountOccurrences(text.text,
                                           format == NotesFormat::kEnex ? "<note>" : "<article>"),
                          done.notes);
            }
        }
    }
    if (files == 0) GTEST_SKIP() << "no notes file in the corpus at " << QUARVO_CORPUS_DIR;
}

}  // namespace
}  // namespace quarvo
