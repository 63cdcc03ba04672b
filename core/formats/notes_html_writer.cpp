// SPDX-License-Identifier: MIT
#include "formats/notes_html_writer.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "formats/markup_text.h"
#include "formats/file_names.h"
#include "formats/utc_time.h"

namespace quarvo::formats {
namespace {

using model::NoteItem;

// The page allows no script and nothing from elsewhere: a note's text and
// links are all it shows.
constexpr std::string_view kPrologue =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "style-src 'unsafe-inline'\">\n"
    "<meta name=\"generator\" content=\"Quarvo\">\n"
    "<title>Opera notes</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; line-height: 1.4; max-width: 48em; margin: 2em auto; "
    "padding: 0 1em; }\n"
    "h2, h3, h4, h5, h6 { border-bottom: 1px solid #bbb; margin-top: 2em; }\n"
    "article { margin: 1.2em 0; break-inside: avoid; }\n"
    ".meta { color: #555; font-size: 0.9em; margin: 0 0 0.2em; overflow-wrap: anywhere; }\n"
    ".text { white-space: pre-wrap; overflow-wrap: anywhere; margin: 0; }\n"
    ".text::first-line { font-weight: bold; }\n"
    "@media print { body { max-width: none; margin: 0; } a { color: inherit; } }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Opera notes</h1>\n";
constexpr std::string_view kEpilogue = "</body>\n</html>\n";
// A heading names this many folders of its path at most.
constexpr std::size_t kMostHeadingFolders = 8;

bool IsLinkable(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos) return false;
    std::string scheme(url.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto";
}

class Page {
  public:
    Page(TextSink& sink, ConversionReport& report, const ProgressSink& step)
        : text_(sink), report_(report), step_(step) {
        text_.text() += kPrologue;
    }

    void Heading(const std::vector<const NoteItem*>& path) {
        std::string& out = text_.text();
        const std::string level = std::to_string(std::min<std::size_t>(path.size() + 1, 6));
        out += "<h" + level + ">";
        const std::size_t first =
            path.size() > kMostHeadingFolders ? path.size() - kMostHeadingFolders : 0;
        if (first > 0) out += "&#8230; / ";
        for (std::size_t i = first; i < path.size(); ++i) {
            if (i > first) out += " / ";
            const std::string& name = path[i]->text;
            Text(name.empty() ? kUnnamedFolder : std::string_view(name), name);
        }
        out += "</h" + level + ">\n";
    }

    void Note(const NoteItem& note) {
        std::string& out = text_.text();
        const std::string_view title = model::NoteTitle(note.text);
        out += "<article>\n";
        const auto time = note.created ? UtcTimeOf(*note.created) : std::nullopt;
        if (time || !note.url.empty()) {
            out += "<p class=\"meta\">";
            if (time)
                out += "<time datetime=\"" + Iso8601(*time) + "\">" + ReadableTime(*time) +
                       " UTC</time>";
            if (time && !note.url.empty()) out += " &#183; ";
            if (IsLinkable(note.url)) {
                out += "<a href=\"";
                Text(note.url, title);
                out += "\">";
                Text(note.url, title);
                out += "</a>";
            } else if (!note.url.empty()) {
                Text(note.url, title);
            }
            out += "</p>\n";
        }
        out += "<div class=\"text\">";
        Text(note.text, title);
        out += "</div>\n</article>\n";
        text_.Pass();
        if (step_) step_();
    }

    void End() {
        text_.text() += kEpilogue;
        text_.Flush();
    }

  private:
    void Text(std::string_view text, std::string_view place) {
        if (AppendMarkupText(text_.text(), text)) report_.Warn(kNotInXmlWarning, place);
    }

    BlockedText text_;
    ConversionReport& report_;
    const ProgressSink& step_;
};

void OwnNotes(Page& page, const NoteItem& folder) {
    for (const NoteItem& item : folder.children)
        if (item.kind == NoteItem::Kind::kNote) page.Note(item);
}

}  // namespace

void WriteNotesHtml(const model::NoteTree& tree, TextSink& out, ConversionReport& report,
                    const ProgressSink& step) {
    Page page(out, report, step);
    OwnNotes(page, tree.root);
    std::vector<const NoteItem*> path;
    model::WalkNotes(
        tree.root,
        [&](const NoteItem& item, std::size_t depth) {
            if (item.kind != NoteItem::Kind::kFolder) return false;
            path.resize(depth - 1);
            path.push_back(&item);
            page.Heading(path);
            OwnNotes(page, item);
            return true;
        },
        [](const NoteItem&, std::size_t) {});
    page.End();
}

}  // namespace quarvo::formats
