#include "hotlist.h"

#include <array>

#include "adr_entry.h"
#include "file_layer.h"
#include "large_buffer.h"
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

// What an entry holds anywhere: the three entry markers, which all start with
// '#', and the version line, which starts with 'O'. Both bytes are rare in a
// hotlist, so one pass over them answers for all; every occurrence of the
// supported version line is also one of the version line.
struct Markers {
    bool folder = false, bookmark = false, separator = false;
    bool version = false, supported_version = false;
};

Markers MarkersOf(std::string_view entry) {
    Markers markers;
    for (std::size_t hit = adr::FindAnyOf<'#', 'O'>(entry, 0); hit != std::string_view::npos;
         hit = adr::FindAnyOf<'#', 'O'>(entry, hit + 1)) {
        const std::string_view at = entry.substr(hit);
        if (at[0] == 'O') {
            if (!at.starts_with(kVersionLine)) continue;
            markers.version = true;
            markers.supported_version =
                markers.supported_version || at.starts_with(kSupportedVersionLine);
            continue;
        }
        markers.folder = markers.folder || at.starts_with("#FOLDER");
        markers.bookmark = markers.bookmark || at.starts_with("#URL");
        markers.separator = markers.separator || at.starts_with("#SEPERATOR");
    }
    return markers;
}

// The values an entry's text is built from.
struct Values {
    std::string_view name, url, created, visited;
};

constexpr std::array<std::string_view, 4> kBookmarkKeys{"NAME=", "URL=", "CREATED=", "VISITED="};

Values ValuesOf(std::string_view entry) {
    const auto v = adr::FirstValues(entry, kBookmarkKeys);
    return Values{v[0], v[1], v[2], v[3]};
}

// Values go into attributes and element text; escaping keeps a name or URL
// from closing either.
void AppendEscaped(std::string& out, std::string_view value) {
    std::size_t done = 0;
    for (std::size_t i = adr::FindAnyOf<'&', '<', '>', '"'>(value, 0); i != std::string_view::npos;
         i = adr::FindAnyOf<'&', '<', '>', '"'>(value, done)) {
        std::string_view entity;
        switch (value[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            default:
                entity = "&quot;";
                break;
        }
        out.append(value.substr(done, i - done));
        out.append(entity);
        done = i + 1;
    }
    out.append(value.substr(done));
}

void AppendFolderHeading(std::string& out, const Values& values) {
    out.append("<DT><H3 FOLDED ADD_DATE=\"");
    AppendEscaped(out, values.created);
    out.append("\">");
    AppendEscaped(out, values.name);
    out.append("</H3>\r\n<DL><p>\r\n");
}

void AppendBookmark(std::string& out, const Values& values) {
    const std::string_view visited = values.visited.empty() ? values.created : values.visited;
    out.append("<DT><A HREF=\"");
    AppendEscaped(out, values.url);
    out.append("\" ADD_DATE=\"");
    AppendEscaped(out, values.created);
    out.append("\" LAST_VISIT=\"");
    AppendEscaped(out, visited);
    out.append("\" LAST_MODIFIED=\"");
    AppendEscaped(out, values.created);
    out.append("\">");
    AppendEscaped(out, values.name);
    out.append("</A>\r\n");
}

// The conversion proper, of text whose line ends are already CR LF.
std::optional<BookmarksConversion> ConvertCrLfHotlist(std::string_view hotlist,
                                                      const ProgressSink& progress) {
    BookmarksConversion result;
    // Escaping can make a bookmark's line longer than its entry; reserved
    // pages that are never written cost nothing.
    result.html.reserve(kBookmarkPrologue.size() + 2 * hotlist.size() + kBookmarkEpilogue.size());
    AdviseHugePages(result.html);
    result.html.append(kBookmarkPrologue);

    std::string_view rest = hotlist;
    while (!rest.empty()) {
        const std::size_t end = FindBytes(rest, kEntrySeparator);
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{}
                                             : rest.substr(end + kEntrySeparator.size());

        // Every test runs on every entry: an entry holding several markers
        // yields the text of each, in this order.
        const Markers markers = MarkersOf(entry);
        if (markers.version && !markers.supported_version) return std::nullopt;
        const Values values = markers.folder || markers.bookmark ? ValuesOf(entry) : Values{};
        if (markers.folder) AppendFolderHeading(result.html, values);
        if (markers.bookmark) {
            if (progress) progress();
            AppendBookmark(result.html, values);
            ++result.bookmarks;
        }
        if (markers.separator) result.html.append(kSeparatorLine);
        if (entry == "-") result.html.append(kFolderEnd);
    }
    result.html.append(kBookmarkEpilogue);
    return result;
}

}  // namespace

std::optional<BookmarksConversion> ConvertHotlistText(std::string_view hotlist,
                                                      const ProgressSink& progress) {
    if (!HasBareLineFeed(hotlist)) return ConvertCrLfHotlist(hotlist, progress);
    return ConvertCrLfHotlist(WithCrLfLineEnds(hotlist), progress);
}

std::int32_t ConvertOperaBookmarks(const std::string& hotlist_path, const std::string& html_path,
                                   const ProgressSink& progress, const MessageSink& message) {
    std::string input;
    if (PathExists(hotlist_path)) input = ReadWholeFile(hotlist_path);
    if (HasBareLineFeed(input)) input = WithCrLfLineEnds(input);
    std::optional<BookmarksConversion> converted = ConvertCrLfHotlist(input, progress);
    std::string().swap(input);
    if (!converted) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;
    }
    WriteWholeFile(html_path, converted->html);
    return converted->bookmarks;
}

}  // namespace quarvo
