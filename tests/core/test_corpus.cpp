// SPDX-License-Identifier: MIT
// The real Opera files kept beside the project. They are never copied into
// it; the tests skip when the folder is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/text_search.h"
#include "text/line_ends.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(QUARVO_CORPUS_DIR, error))
        if (entry.path().extension() == ".adr") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Entries are what lies between blank lines; this counts those holding "#URL".
int EntriesWithUrl(std::string_view hotlist) {
    int count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = FindBytes(hotlist, "\r\n\r\n", start);
        const std::string_view entry =
            hotlist.substr(start, end == std::string_view::npos ? end : end - start);
        if (FindBytes(entry, "#URL") != std::string_view::npos) ++count;
        if (end == std::string_view::npos) return count;
        start = end + 4;
    }
}

TEST(Corpus, EveryHotlistConvertsWithOneLinePerBookmark) {
    const std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << QUARVO_CORPUS_DIR;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string raw = ReadWholeFile(file.string());
        const auto result = ConvertHotlistText(raw);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->bookmarks, EntriesWithUrl(WithCrLfLineEnds(raw)));
        EXPECT_EQ(CountOccurrences(result->html, "<DT><A HREF="),
                  result->bookmarks + CountOccurrences(WithCrLfLineEnds(raw), "#SEPERATOR"));
        // Every heading opens a list; no name can smuggle in a tag.
        EXPECT_EQ(CountOccurrences(result->html, "<H3"), CountOccurrences(result->html, "</H3>"));
        EXPECT_EQ(CountOccurrences(result->html, "<A "), CountOccurrences(result->html, "</A>"));
    }
}

TEST(Corpus, WellFormedHotlistsKeepEveryBookmark) {
    const std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << QUARVO_CORPUS_DIR;
    for (const char* name :
         {"archlinux-dotfiles__bookmarks.adr", "HostsX__bookmarks.adr",
          "opera-config__bookmarks.adr", "tmp__bookmarks.adr", "opera__bookmarks.adr",
          "world__opera6.adr", "mindretrieve-svn__opera6.adr"}) {
        SCOPED_TRACE(name);
        const fs::path file = fs::path(QUARVO_CORPUS_DIR) / name;
        if (!fs::exists(file)) continue;
        const std::string raw = ReadWholeFile(file.string());
        EXPECT_EQ(ConvertHotlistText(raw)->bookmarks, CountOccurrences(raw, "#URL"));
    }
}

TEST(Corpus, TheLfAndCrLfTwinsGiveTheSameBookmarkFile) {
    const fs::path dir(QUARVO_CORPUS_DIR);
    const fs::path crlf = dir / "Bookmarks-Parser__opera-1150.adr";
    const fs::path lf = dir / "Bookmarks-Parser__opera-1150-unix.adr";
    if (!fs::exists(crlf) || !fs::exists(lf)) GTEST_SKIP() << "twin files absent";
    const auto a = ConvertHotlistText(ReadWholeFile(crlf.string()));
    const auto b = ConvertHotlistText(ReadWholeFile(lf.string()));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->html, b->html);
    EXPECT_GT(a->bookmarks, 1);
}

TEST(Corpus, ContactFilesGiveOneTwentyNineFieldRecordPerContact) {
    bool any = false;
    for (const fs::path& file : CorpusFiles()) {
        const std::string raw = ReadWholeFile(file.string());
        const int markers = CountOccurrences(raw, "#CONTACT");
        if (markers == 0) continue;
        any = true;
        SCOPED_TRACE(file.filename().string());
        const ContactsConversion result = ConvertContactsText(raw);
        const auto records = testing::ReadCsv(result.csv);
        ASSERT_TRUE(records) << "the CSV does not parse";
        ASSERT_EQ(records->size(), static_cast<std::size_t>(markers) + 1);
        for (const testing::CsvRecord& record : *records) EXPECT_EQ(record.size(), 29u);
        EXPECT_EQ(result.named, markers);  // every contact in these files has a name
    }
    if (!any) GTEST_SKIP() << "no contacts file in the corpus";
}

TEST(Corpus, EveryFileConvertsBothWaysWithoutError) {
    // A notes or hotlist file given as contacts, and the other way round, is
    // malformed input: it converts to whatever it holds, never fails.
    const std::vector<fs::path> files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus";
    for (const fs::path& file : files) {
        const std::string raw = ReadWholeFile(file.string());
        const auto records = testing::ReadCsv(ConvertContactsText(raw).csv);
        ASSERT_TRUE(records) << file;
        for (const testing::CsvRecord& record : *records) EXPECT_EQ(record.size(), 29u) << file;
    }
}

}  // namespace
}  // namespace quarvo
