// SPDX-License-Identifier: MIT
#include "quarvo/conversions/browser_bookmarks.h"

#include <set>

#include "formats/browser_html_writer.h"
#include "formats/opera_bookmarks_reader.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

constexpr std::string_view kSupportedVersion = "2.0";
constexpr std::string_view kTrashWrittenCount = "trash items written as ordinary ones";

// The Internet Explorer flavour writes the trash as an ordinary folder:
// what it holds is counted, and every URL is looked at for duplicates.
void CountTrashAndDuplicates(const model::BookmarkItem& root, ConversionReport& report) {
    std::set<std::string> urls;
    std::size_t trash_depth = 0;  // the depth of the trash folder being walked, 0 outside
    model::ForEachItem(root, [&](const model::BookmarkItem& item, std::size_t depth) {
        if (trash_depth != 0 && depth <= trash_depth) trash_depth = 0;
        if (trash_depth != 0) report.Count(kTrashWrittenCount);
        if (item.kind == model::BookmarkItem::Kind::kBookmark && !item.url.empty() &&
            !urls.insert(item.url).second)
            report.Warn(formats::kDuplicateUrlWarning, item.url);
        if (item.is_trash && trash_depth == 0) trash_depth = depth;
        return true;
    });
}

}  // namespace

std::optional<BrowserBookmarksConversion> ConvertHotlistTextForBrowsers(
    std::string_view hotlist, bool keep_trash, ConversionReport& report,
    const ProgressSink& progress) {
    const model::BookmarkTree tree = formats::ReadOperaBookmarks(hotlist, report);
    if (!tree.version.empty() && tree.version != kSupportedVersion) return std::nullopt;
    formats::BrowserHtml written = formats::WriteBrowserHtml(tree, keep_trash, report, progress);
    return BrowserBookmarksConversion{std::move(written.html), written.bookmarks};
}

std::int32_t ConvertOperaBookmarksForBrowsers(const std::string& hotlist_path,
                                              const std::string& html_path, bool keep_trash,
                                              ConversionReport& report,
                                              const ProgressSink& progress,
                                              const MessageSink& message) {
    const std::string hotlist = ReadWholeFile(hotlist_path);
    const auto converted = ConvertHotlistTextForBrowsers(hotlist, keep_trash, report, progress);
    if (!converted) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;
    }
    WriteWholeFile(html_path, converted->html);
    return converted->bookmarks;
}

void ReportInternetExplorerConversion(std::string_view hotlist, std::int32_t bookmarks,
                                      ConversionReport& report) {
    report.Count(formats::kBookmarksCount, bookmarks);
    report.Count(kTrashWrittenCount, 0);
    const model::BookmarkTree tree = formats::ReadOperaBookmarks(hotlist, report);
    CountTrashAndDuplicates(tree.root, report);
}

}  // namespace quarvo
