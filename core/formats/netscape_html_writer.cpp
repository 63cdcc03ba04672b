// SPDX-License-Identifier: MIT
#include "formats/netscape_html_writer.h"

#include <cstddef>

#include "formats/record_writer.h"

namespace quarvo::formats {
namespace {

// The separator entry carries no values of its own; the line is fixed.
constexpr std::string_view kSeparatorLine =
    "<DT><A HREF=\"http://www.opera.com/\" ADD_DATE=\"1148873838\" LAST_VISIT=\"1148873838\" "
    "LAST_MODIFIED=\"1148873838\">--------------------</A>\r\n";
constexpr std::string_view kFolderEnd = "</DL><p>\r\n";
constexpr std::size_t kLongestEntity = 6;

// Values go into attributes and element text; escaping keeps a name or URL
// from closing either.
void PutEscaped(RecordWriter& out, std::string_view value) {
    out.PutInPieces(value, kLongestEntity, [](RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'&', '<', '>', '"'>(part,
                                            [](RecordWriter& w, std::string_view v, std::size_t i) {
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
std::size_t MostEntryBytes(const model::HotlistEntry& entry) {
    constexpr std::size_t kFixed = 384;
    return kFixed + kLongestEntity * (2 * entry.name.size() + entry.url.size() +
                                      4 * entry.created.size() + entry.visited.size());
}

void PutFolderHeading(RecordWriter& out, const model::HotlistEntry& entry) {
    out.Put("<DT><H3 FOLDED ADD_DATE=\"");
    PutEscaped(out, entry.created);
    out.Put("\">");
    PutEscaped(out, entry.name);
    out.Put("</H3>\r\n<DL><p>\r\n");
}

void PutBookmark(RecordWriter& out, const model::HotlistEntry& entry) {
    out.Put("<DT><A HREF=\"");
    PutEscaped(out, entry.url);
    out.Put("\" ADD_DATE=\"");
    // The date is written up to three times; it is escaped once, unless
    // the record is written in pieces and its start may be gone.
    const std::size_t created_at = out.written();
    PutEscaped(out, entry.created);
    const std::size_t created_end = out.written();
    const auto put_created_again = [&] {
        if (out.in_pieces())
            PutEscaped(out, entry.created);
        else
            out.PutAgain(created_at, created_end);
    };
    out.Put("\" LAST_VISIT=\"");
    if (entry.visited.empty())
        put_created_again();
    else
        PutEscaped(out, entry.visited);
    out.Put("\" LAST_MODIFIED=\"");
    put_created_again();
    out.Put("\">");
    PutEscaped(out, entry.name);
    out.Put("</A>\r\n");
}

}  // namespace

void NetscapeHtmlWriter::Write(const model::HotlistEntry& entry) {
    {
        RecordWriter out(html_, MostEntryBytes(entry), source_, &drain_);
        if (entry.folder) PutFolderHeading(out, entry);
        if (entry.bookmark) PutBookmark(out, entry);
        if (entry.separator) out.Put(kSeparatorLine);
        if (entry.folder_end) out.Put(kFolderEnd);
    }
    if (drain_ && html_.size() >= kOutputBlockBytes) drain_(html_);
}

}  // namespace quarvo::formats
