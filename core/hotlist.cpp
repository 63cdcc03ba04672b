#include "hotlist.h"

#include "adr_entry.h"
#include "file_layer.h"
#include "line_ends.h"
#include "text_search.h"

namespace quarvo {
namespace {

constexpr std::string_view kEntrySeparator = "\r\n\r\n";
constexpr std::string_view kVersionLine = "Opera Hotlist version";
constexpr std::string_view kSupportedVersionLine = "Opera Hotlist version 2.0";
constexpr std::string_view kSeparatorLine =
    "<DT><A HREF=\"http://www.opera.com/\" ADD_DATE=\"1148873838\" LAST_VISIT=\"1148873838\" "
    "LAST_MODIFIED=\"1148873838\">--------------------</A>\r\n";
constexpr std::string_view kFolderEnd = "</DL><p>\r\n";

bool Contains(std::string_view entry, std::string_view marker) {
    return FindBytes(entry, marker) != std::string_view::npos;
}

// Values go into attributes and element text; escaping keeps a name or URL
// from closing either.
void AppendEscaped(std::string& out, std::string_view value) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::string_view entity;
        switch (value[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: continue;
        }
        out.append(value.substr(done, i - done));
        out.append(entity);
        done = i + 1;
    }
    out.append(value.substr(done));
}

void AppendFolderHeading(std::string& out, std::string_view entry) {
    out.append("<DT><H3 FOLDED ADD_DATE=\"");
    AppendEscaped(out, adr::Value(entry, "CREATED="));
    out.append("\">");
    AppendEscaped(out, adr::Value(entry, "NAME="));
    out.append("</H3>\r\n<DL><p>\r\n");
}

void AppendBookmark(std::string& out, std::string_view entry) {
    const std::string_view created = adr::Value(entry, "CREATED=");
    std::string_view visited = adr::Value(entry, "VISITED=");
    if (visited.empty()) visited = created;
    out.append("<DT><A HREF=\"");
    AppendEscaped(out, adr::Value(entry, "URL="));
    out.append("\" ADD_DATE=\"");
    AppendEscaped(out, created);
    out.append("\" LAST_VISIT=\"");
    AppendEscaped(out, visited);
    out.append("\" LAST_MODIFIED=\"");
    AppendEscaped(out, created);
    out.append("\">");
    AppendEscaped(out, adr::Value(entry, "NAME="));
    out.append("</A>\r\n");
}

}  // namespace

std::optional<BookmarksConversion> ConvertHotlistText(std::string_view hotlist,
                                                      const ProgressSink& progress) {
    std::string crlf_copy;
    if (HasBareLineFeed(hotlist)) {
        crlf_copy = WithCrLfLineEnds(hotlist);
        hotlist = crlf_copy;
    }

    BookmarksConversion result;
    result.html.reserve(kBookmarkPrologue.size() + hotlist.size() + kBookmarkEpilogue.size());
    result.html.append(kBookmarkPrologue);

    std::string_view rest = hotlist;
    while (!rest.empty()) {
        const std::size_t end = FindBytes(rest, kEntrySeparator);
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{}
                                             : rest.substr(end + kEntrySeparator.size());

        // Every test runs on every entry: an entry holding several markers
        // yields the text of each, in this order.
        if (Contains(entry, kVersionLine) && !Contains(entry, kSupportedVersionLine))
            return std::nullopt;
        if (Contains(entry, "#FOLDER")) AppendFolderHeading(result.html, entry);
        if (Contains(entry, "#URL")) {
            if (progress) progress();
            AppendBookmark(result.html, entry);
            ++result.bookmarks;
        }
        if (Contains(entry, "#SEPERATOR")) result.html.append(kSeparatorLine);
        if (entry == "-") result.html.append(kFolderEnd);
    }
    result.html.append(kBookmarkEpilogue);
    return result;
}

std::int32_t ConvertOperaBookmarks(const std::string& hotlist_path, const std::string& html_path,
                                   const ProgressSink& progress, const MessageSink& message) {
    std::string input;
    if (PathExists(hotlist_path)) input = ReadWholeFile(hotlist_path);
    if (HasBareLineFeed(input)) input = WithCrLfLineEnds(input);
    std::optional<BookmarksConversion> converted = ConvertHotlistText(input, progress);
    std::string().swap(input);
    if (!converted) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;
    }
    WriteWholeFile(html_path, converted->html);
    return converted->bookmarks;
}

}  // namespace quarvo
