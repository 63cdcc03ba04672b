// SPDX-License-Identifier: MIT
#include "quarvo/hotlist.h"

#include <array>
#include <optional>

#include "adr_entry.h"
#include "line_ends.h"
#include "output_file.h"
#include "side_by_side.h"
#include "split_conversion.h"
#include "quarvo/text_search.h"

namespace quarvo {
namespace {

constexpr std::string_view kEntrySeparator = "\r\n\r\n";
constexpr std::string_view kVersionLine = "Opera Hotlist version";
constexpr std::string_view kSupportedVersionLine = "Opera Hotlist version 2.0";
constexpr std::string_view kSeparatorLine =
    "<DT><A HREF=\"http://www.opera.com/\" ADD_DATE=\"1148873838\" LAST_VISIT=\"1148873838\" "
    "LAST_MODIFIED=\"1148873838\">--------------------</A>\r\n";
constexpr std::string_view kFolderEnd = "</DL><p>\r\n";

// What an entry holds anywhere: the three entry markers and the version
// line. Every occurrence of the supported version line is also one of the
// version line.
struct Markers {
    bool folder = false, bookmark = false, separator = false;
    bool version = false, supported_version = false;
};

enum Key : std::size_t { kName, kUrl, kCreated, kVisited, kKeyCount };

constexpr adr::KeySet<kKeyCount> kKeys{
    std::array<std::string_view, kKeyCount>{"NAME=", "URL=", "CREATED=", "VISITED="}};

// The values an entry's text is built from.
struct Values {
    std::string_view name, url, created, visited;
};

// Values go into attributes and element text; escaping keeps a name or URL
// from closing either.
void PutEscaped(adr::RecordWriter& out, std::string_view value) {
    constexpr std::size_t kLongestEntity = 6;
    out.PutInPieces(value, kLongestEntity, [](adr::RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'&', '<', '>', '"'>(
            part, [](adr::RecordWriter& w, std::string_view v, std::size_t i) {
            switch (v[i]) {
                case '&':
                    w.Put("&amp;");
                    break;
                case '<':
                    w.Put("&lt;");
                    break;
                case '>':
                    w.Put("&gt;");
                    break;
                default:
                    w.Put("&quot;");
                    break;
            }
            return i + 1;
        });
    });
}

// The longest text an entry can give: the fixed text of a folder heading, a
// bookmark, a separator and a folder end, and every value six times as long
// when it is all quotes, as often as it is written.
std::size_t MostEntryBytes(const Values& values) {
    constexpr std::size_t kFixed = 384;
    constexpr std::size_t kLongestEntity = 6;
    return kFixed + kLongestEntity * (2 * values.name.size() + values.url.size() +
                                      4 * values.created.size() + values.visited.size());
}

void PutFolderHeading(adr::RecordWriter& out, const Values& values) {
    out.Put("<DT><H3 FOLDED ADD_DATE=\"");
    PutEscaped(out, values.created);
    out.Put("\">");
    PutEscaped(out, values.name);
    out.Put("</H3>\r\n<DL><p>\r\n");
}

void PutBookmark(adr::RecordWriter& out, const Values& values) {
    out.Put("<DT><A HREF=\"");
    PutEscaped(out, values.url);
    out.Put("\" ADD_DATE=\"");
    // The date is written up to three times; it is escaped once, unless
    // the record is written in pieces and its start may be gone.
    const std::size_t created_at = out.written();
    PutEscaped(out, values.created);
    const std::size_t created_end = out.written();
    const auto put_created_again = [&] {
        if (out.in_pieces())
            PutEscaped(out, values.created);
        else
            out.PutAgain(created_at, created_end);
    };
    out.Put("\" LAST_VISIT=\"");
    if (values.visited.empty())
        put_created_again();
    else
        PutEscaped(out, values.visited);
    out.Put("\" LAST_MODIFIED=\"");
    put_created_again();
    out.Put("\">");
    PutEscaped(out, values.name);
    out.Put("</A>\r\n");
}

struct PartResult {
    std::int32_t bookmarks = 0;
    bool unsupported_version = false;
};

// Appends the text of the entries in `text` (CR LF line ends) to `html`.
// Entries are separated by an empty line. Every test runs on every entry: an
// entry holding several markers yields the text of each, in this order. A
// value is the text after its key's first occurrence in the entry, up to the
// next CR LF. One walk over the CR, '#', '=' and 'O' bytes finds entry ends,
// markers, the version line, keys and line ends alike; none of the markers
// holds a CR, so each one found lies inside its entry. With a `drain`, the
// text gathered in `html` is passed to it whenever a block is full.
PartResult AppendEntries(TextBuffer& html, std::string_view text, const ProgressSink& progress,
                         const BlockSink& drain = {}) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    adr::ByteHits<'\r', '#', '=', 'O'> hits(text, 0);
    adr::EntryValues<kKeyCount> found;
    PartResult result;
    std::size_t begin = 0;
    while (begin < size) {
        Markers markers;
        found.Clear();
        std::size_t end = size;
        std::size_t next = size;
        for (std::size_t at = hits.Next(); at != adr::kNone; at = hits.Next()) {
            const char c = data[at];
            if (c == '\r') {
                if (at + 1 >= size || data[at + 1] != '\n') continue;
                found.CloseAt(at);
                if (at + 3 < size && data[at + 2] == '\r' && data[at + 3] == '\n') {
                    end = at;
                    next = at + kEntrySeparator.size();
                    break;
                }
            } else if (c == '=') {
                const auto missing = found.missing();
                if (missing == 0) continue;
                if (const auto keys = kKeys.EndingAt(data, begin, at, missing))
                    found.Open(keys, at + 1);
            } else if (c == '#') {
                markers.folder = markers.folder || adr::HoldsAt(text, at, "#FOLDER");
                markers.bookmark = markers.bookmark || adr::HoldsAt(text, at, "#URL");
                markers.separator = markers.separator || adr::HoldsAt(text, at, "#SEPERATOR");
            } else {
                if (!adr::HoldsAt(text, at, kVersionLine)) continue;
                markers.version = true;
                markers.supported_version =
                    markers.supported_version || adr::HoldsAt(text, at, kSupportedVersionLine);
            }
        }
        found.CloseAt(end);
        hits.SkipTo(next);

        if (markers.version && !markers.supported_version) {
            result.unsupported_version = true;
            return result;
        }
        const Values values{found.Of(data, kName), found.Of(data, kUrl), found.Of(data, kCreated),
                            found.Of(data, kVisited)};
        const bool folder_end = end - begin == 1 && data[begin] == '-';
        begin = next;
        if (!markers.folder && !markers.bookmark && !markers.separator && !folder_end) continue;

        adr::RecordWriter out(html, MostEntryBytes(values), text, &drain);
        if (markers.folder) PutFolderHeading(out, values);
        if (markers.bookmark) {
            if (progress) progress();
            PutBookmark(out, values);
            ++result.bookmarks;
        }
        if (markers.separator) out.Put(kSeparatorLine);
        if (folder_end) out.Put(kFolderEnd);
        out.Finish();
        if (drain && html.size() >= kOutputBlockBytes) drain(html);
    }
    return result;
}

// The bookmark file in two pieces, so that a file can be written without
// first joining them.
struct HtmlPieces {
    TextBuffer first;   // starts with the prologue
    TextBuffer second;  // ends with the epilogue
    std::int32_t bookmarks = 0;
    bool refused = false;  // an entry names a version other than 2.0
};

// Text that is kept whole is given room for twice its entries at once, as
// escaping can make a bookmark's line longer than its entry; text handed on
// in blocks needs a block's room.
void ReserveFor(TextBuffer& html, std::size_t entries_bytes, bool kept_whole) {
    html.Reserve(kept_whole ? kBookmarkPrologue.size() + 2 * entries_bytes +
                                  kBookmarkEpilogue.size()
                            : kBlockRoomBytes,
                 kept_whole);
}

// Where the text can be cut into two runs of whole entries: at the first
// empty-line separator from `near` on that cannot be part of an earlier one,
// which is one not preceded by CR LF. Cutting entries one after another from
// the start meets every such separator.
std::size_t CutNear(std::string_view hotlist, std::size_t near) {
    if (near >= hotlist.size()) return std::string_view::npos;
    for (std::size_t at = FindBytes(hotlist, kEntrySeparator, near); at != std::string_view::npos;
         at = FindBytes(hotlist, kEntrySeparator, at + 1)) {
        if (at < 2 || hotlist.substr(at - 2, 2) != adr::kCrLf) return at;
    }
    return std::string_view::npos;
}

// Converts the text; with a `drain`, the text is handed to it in blocks as
// it grows (see ConvertSideBySide), and only what it did not take is
// returned. With
// `check_line_ends`, returns nothing (having delivered nothing) when the
// text, or one of its parts, holds line ends other than CR LF: the whole
// text must then be judged.
// With `near` inside the window of bytes read first, the text is cut there and
// the two parts are converted side by side.
std::optional<HtmlPieces> ConvertPieces(const PartlyRead& source, bool check_line_ends,
                                        std::size_t near, const ProgressSink& progress,
                                        const BlockSink& drain = {}) {
    const std::string_view hotlist = source.text;
    const std::size_t cut = near >= source.window.begin
                                ? CutNear(hotlist.substr(0, source.window.end), near)
                                : std::string_view::npos;

    HtmlPieces result;
    ReserveFor(result.first, hotlist.size(), !drain);
    result.first.Append(kBookmarkPrologue);
    if (cut == std::string_view::npos) {
        if (source.read_head) source.read_head();
        if (source.read_tail) source.read_tail();
        if (check_line_ends && NeedsCrLfLineEnds(hotlist)) return std::nullopt;
        const PartResult whole = AppendEntries(result.first, hotlist, progress, drain);
        result.first.Append(kBookmarkEpilogue);
        result.bookmarks = whole.bookmarks;
        result.refused = whole.unsupported_version;
        return result;
    }

    const std::string_view first_part = hotlist.substr(0, cut);
    const std::string_view second_part = hotlist.substr(cut + kEntrySeparator.size());
    PartResult first;
    PartResult second;
    const bool converted = ConvertSideBySide(
        first_part, second_part, check_line_ends, source.most_held, progress, drain, result.first,
        [&] {
            if (source.read_head) source.read_head();
        },
        [&] {
            if (source.read_tail) source.read_tail();
        },
        [&](const ProgressSink& here, const BlockSink& here_drain) {
            first = AppendEntries(result.first, first_part, here, here_drain);
        },
        [&](const ProgressSink& there, const BlockSink& there_drain) {
            ReserveFor(result.second, second_part.size(), false);
            second = AppendEntries(result.second, second_part, there, there_drain);
            result.second.Append(kBookmarkEpilogue);
        });
    if (!converted) return std::nullopt;
    result.bookmarks = first.bookmarks + second.bookmarks;
    result.refused = first.unsupported_version || second.unsupported_version;
    return result;
}

std::optional<BookmarksConversion> ConvertText(std::string_view hotlist, std::size_t near,
                                               const ProgressSink& progress) {
    HtmlPieces pieces = ConvertInMemory(
        hotlist, near, [&](const PartlyRead& source, bool check_line_ends, std::size_t cut_near) {
            return ConvertPieces(source, check_line_ends, cut_near, progress);
        });
    if (pieces.refused) return std::nullopt;
    pieces.first.Append(pieces.second.view());
    return BookmarksConversion{std::move(pieces.first).Take(), pieces.bookmarks};
}

}  // namespace

std::optional<BookmarksConversion> ConvertHotlistText(std::string_view hotlist,
                                                      const ProgressSink& progress) {
    return ConvertText(hotlist, CutPoint(hotlist.size()), progress);
}

namespace detail {

std::optional<BookmarksConversion> ConvertHotlistTextCutNear(std::string_view hotlist,
                                                             std::size_t near,
                                                             const ProgressSink& progress) {
    return ConvertText(hotlist, near, progress);
}

}  // namespace detail

std::int32_t ConvertOperaBookmarks(const std::string& hotlist_path, const std::string& html_path,
                                   const ProgressSink& progress, const MessageSink& message) {
    OutputFile output(html_path);
    const BlockSink drain = output.Sink();
    const HtmlPieces pieces = ConvertFromFile(
        hotlist_path, [&](const PartlyRead& source, bool check_line_ends, std::size_t near) {
            return ConvertPieces(source, check_line_ends, near, progress, drain);
        });
    if (pieces.refused) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;  // the output file stays as it was
    }
    output.Write(pieces.first.view());
    output.Write(pieces.second.view());
    output.Finish();
    return pieces.bookmarks;
}

}  // namespace quarvo
