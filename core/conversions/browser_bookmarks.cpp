// SPDX-License-Identifier: MIT
#include "quarvo/conversions/browser_bookmarks.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "conversions/link_folders.h"
#include "formats/adr_lines.h"
#include "formats/browser_html_writer.h"
#include "formats/chromium_bookmarks_writer.h"
#include "formats/firefox_backup_writer.h"
#include "formats/opera_bookmarks_reader.h"
#include "formats/seen_texts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

constexpr std::string_view kSupportedVersion = "2.0";
constexpr std::string_view kTrashWrittenCount = "trash items written as ordinary ones";

bool IsHotlistItem(const formats::AdrEntry& entry) {
    return entry.kind == formats::AdrEntry::Kind::kFolder ||
           entry.kind == formats::AdrEntry::Kind::kUrl ||
           entry.kind == formats::AdrEntry::Kind::kSeparator;
}

// An item Opera shows on its personal bar: where its entry starts in the
// hotlist, and its place on the bar.
struct BarItem {
    std::size_t at;
    std::int64_t position;  // INT64_MAX without one: after those with one
};

// The personal bar's items, in the bar's order. A cheap first pass: its
// entries are spread through the file but their copies come first. Only
// the keys are looked at; nothing is converted.
std::vector<BarItem> PersonalBar(std::string_view hotlist) {
    std::vector<BarItem> bar;
    if (hotlist.find("ON PERSONALBAR") == std::string_view::npos) return bar;
    formats::ForEachAdrEntry(hotlist, [&](const formats::AdrEntry& entry) {
        // Opera's bar shows nothing deleted.
        if (!IsHotlistItem(entry) || entry.in_trash || entry.Value("TRASH FOLDER") == "YES" ||
            entry.Value("ON PERSONALBAR") != "YES")
            return;
        const auto position = formats::LeadingNumber(entry.Value("PERSONALBAR_POS"));
        bar.push_back({static_cast<std::size_t>(entry.marker.data() - hotlist.data()),
                       position.value_or(INT64_MAX)});
    });
    std::stable_sort(bar.begin(), bar.end(),
                     [](const BarItem& a, const BarItem& b) { return a.position < b.position; });
    return bar;
}

// The copies of the personal bar's items, each read again from where its
// entry starts up to its end (a folder's, all it holds).
void WritePersonalBar(std::string_view hotlist, bool eight_bit, formats::BookmarkWriter& writer) {
    const std::vector<BarItem> bar = PersonalBar(hotlist);
    if (bar.empty()) return;
    ConversionReport read_before;  // the main pass reports what looks wrong
    formats::BookmarkEntryReader reader(eight_bit, read_before);
    writer.BeginPersonalBar();
    for (const BarItem& item : bar) {
        formats::ForEachAdrEntryWhile(hotlist.substr(item.at), [&](const formats::AdrEntry& entry) {
            const int depth = static_cast<int>(entry.depth) + 2;
            if (entry.kind == formats::AdrEntry::Kind::kFolderEnd) {
                writer.FolderEnd(depth);
                return entry.depth != 0;
            }
            const auto fields = reader.Read(entry);
            if (fields) writer.Item(*fields, depth);
            return entry.kind == formats::AdrEntry::Kind::kFolder || entry.depth != 0;
        });
    }
    writer.EndPersonalBar(static_cast<std::int64_t>(bar.size()));
}

std::unique_ptr<formats::BookmarkWriter> MakeWriter(BookmarkFlavour flavour,
                                                    formats::TextSink& sink, bool keep_trash,
                                                    ConversionReport* report,
                                                    const ProgressSink& progress,
                                                    std::string_view hotlist) {
    switch (flavour) {
        case BookmarkFlavour::kFirefoxBackup:
            return std::make_unique<formats::FirefoxBackupWriter>(sink, keep_trash, report,
                                                                  progress, hotlist);
        case BookmarkFlavour::kChromium:
            return std::make_unique<formats::ChromiumBookmarksWriter>(sink, keep_trash, report,
                                                                      progress, hotlist);
        default:
            return std::make_unique<formats::BrowserHtmlWriter>(sink, keep_trash, report, progress,
                                                                hotlist);
    }
}

// The file of `flavour` from `hotlist`, then the folders `links`, into
// `sink`; returns the bookmarks written.
std::int32_t WriteForBrowsers(std::string_view hotlist, const formats::AdrHeader& header,
                              BookmarkFlavour flavour, bool keep_trash,
                              const std::vector<model::BookmarkItem>& links,
                              ConversionReport* report, const ProgressSink& progress,
                              formats::TextSink& sink) {
    const bool eight_bit = formats::HotlistIsEightBit(header);
    const auto writer = MakeWriter(flavour, sink, keep_trash, report, progress, hotlist);
    if (!writer->PersonalBarLast()) WritePersonalBar(hotlist, eight_bit, *writer);
    ConversionReport unasked;
    formats::BookmarkEntryReader reader(eight_bit, report ? *report : unasked);
    formats::ForEachAdrEntry(hotlist, [&](const formats::AdrEntry& entry) {
        const int depth = static_cast<int>(entry.depth) + 1;
        if (entry.kind == formats::AdrEntry::Kind::kFolderEnd)
            writer->FolderEnd(depth);
        else if (const auto fields = reader.Read(entry))
            writer->Item(*fields, depth);
    });
    for (const model::BookmarkItem& folder : links) writer->WholeItem(folder, 1);
    if (writer->PersonalBarLast()) WritePersonalBar(hotlist, eight_bit, *writer);
    return writer->Finish();
}

bool IsSupported(const formats::AdrHeader& header) {
    return header.version.empty() || header.version == kSupportedVersion;
}

class StringSink final : public formats::TextSink {
  public:
    void Write(std::string_view piece) override { text.append(piece); }
    std::string text;
};

class ReplacementSink final : public formats::TextSink {
  public:
    explicit ReplacementSink(FileReplacement& file) : file_(file) {}
    void Write(std::string_view piece) override { file_.Write(piece); }

  private:
    FileReplacement& file_;
};

}  // namespace

std::optional<BrowserBookmarksConversion> ConvertHotlistTextForBrowsers(
    std::string_view hotlist, bool keep_trash, ConversionReport& report,
    const ProgressSink& progress) {
    return ConvertHotlistTextFor(hotlist, BookmarkFlavour::kBrowser, keep_trash, report, progress);
}

std::optional<BrowserBookmarksConversion> ConvertHotlistTextFor(std::string_view hotlist,
                                                                BookmarkFlavour flavour,
                                                                bool keep_trash,
                                                                ConversionReport& report,
                                                                const ProgressSink& progress) {
    const formats::AdrHeader header = formats::ReadAdrHeader(hotlist);
    if (!IsSupported(header)) return std::nullopt;
    StringSink sink;
    const std::int32_t bookmarks =
        WriteForBrowsers(hotlist, header, flavour, keep_trash, {}, &report, progress, sink);
    return BrowserBookmarksConversion{std::move(sink.text), bookmarks};
}

std::optional<BrowserBookmarksConversion> ConvertHotlistTextFor(std::string_view hotlist,
                                                                const BookmarkOptions& options,
                                                                ConversionReport& report) {
    ConversionReport links_report;
    const std::vector<model::BookmarkItem> folders = ReadLinkFolders(options.links, links_report);
    const formats::AdrHeader header = formats::ReadAdrHeader(hotlist);
    if (!IsSupported(header)) return std::nullopt;
    StringSink sink;
    const std::int32_t bookmarks = WriteForBrowsers(hotlist, header, options.flavour,
                                                    options.keep_trash, folders, &report, {}, sink);
    report.Append(links_report);
    return BrowserBookmarksConversion{std::move(sink.text), bookmarks};
}

std::int32_t ConvertOperaBookmarksForBrowsers(const std::string& hotlist_path,
                                              const std::string& html_path, bool keep_trash,
                                              ConversionReport* report,
                                              const ProgressSink& progress,
                                              const MessageSink& message) {
    return ConvertOperaBookmarksForBrowsers(hotlist_path, html_path, keep_trash, {}, report,
                                            progress, message);
}

std::int32_t ConvertOperaBookmarksForBrowsers(const std::string& hotlist_path,
                                              const std::string& html_path, bool keep_trash,
                                              const LinkSources& links, ConversionReport* report,
                                              const ProgressSink& progress,
                                              const MessageSink& message) {
    return ConvertOperaBookmarksToFile(hotlist_path, html_path,
                                       {BookmarkFlavour::kBrowser, keep_trash, links}, report,
                                       progress, message);
}

std::int32_t ConvertOperaBookmarksToFile(const std::string& hotlist_path,
                                         const std::string& output_path,
                                         const BookmarkOptions& options, ConversionReport* report,
                                         const ProgressSink& progress, const MessageSink& message) {
    // The links' counts follow the hotlist's in the report.
    ConversionReport links_report;
    const std::vector<model::BookmarkItem> folders = ReadLinkFolders(options.links, links_report);
    const std::string hotlist = ReadWholeFile(hotlist_path);
    const formats::AdrHeader header = formats::ReadAdrHeader(hotlist);
    if (!IsSupported(header)) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;
    }
    FileReplacement file(output_path);
    ReplacementSink sink(file);
    const std::int32_t bookmarks = WriteForBrowsers(
        hotlist, header, options.flavour, options.keep_trash, folders, report, progress, sink);
    file.Commit();
    if (report) report->Append(links_report);
    return bookmarks;
}

// Walks the hotlist once, item by item, without a tree: what the reader
// finds wrong first, then the URLs met twice, as the browser flavour
// reports them.
void ReportInternetExplorerConversion(std::string_view hotlist, std::int32_t bookmarks,
                                      ConversionReport& report) {
    report.Count(formats::kBookmarksCount, bookmarks);
    report.Count(kTrashWrittenCount, 0);
    formats::BookmarkEntryReader reader(formats::HotlistIsEightBit(formats::ReadAdrHeader(hotlist)),
                                        report);
    ConversionReport duplicates;
    formats::SeenTexts urls(hotlist);
    // The Internet Explorer flavour writes the trash as an ordinary folder:
    // what it holds is counted.
    std::size_t trash_depth = 0;  // the depth of the trash item being walked, 0 outside
    formats::ForEachAdrEntry(hotlist, [&](const formats::AdrEntry& entry) {
        const auto item = reader.Read(entry);
        if (!item) return;
        const std::size_t depth = entry.depth + 1;
        if (trash_depth != 0 && depth <= trash_depth) trash_depth = 0;
        if (trash_depth != 0) report.Count(kTrashWrittenCount);
        if (item->kind == model::BookmarkItem::Kind::kBookmark && !item->url.empty() &&
            !urls.Insert(item->url))
            duplicates.Warn(formats::kDuplicateUrlWarning, item->url);
        if (item->is_trash && trash_depth == 0) trash_depth = depth;
    });
    report.Append(duplicates);
}

}  // namespace quarvo
