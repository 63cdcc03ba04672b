// SPDX-License-Identifier: MIT
#include "formats/browser_html_writer.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace quarvo::formats {
namespace {

using model::BookmarkItem;

constexpr std::string_view kPrologue =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "     It will be read and overwritten.\r\n"
    "     DO NOT EDIT! -->\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "<TITLE>Bookmarks</TITLE>\r\n"
    "<H1>Bookmarks</H1>\r\n"
    "<DL><p>\r\n";
constexpr std::string_view kEpilogue = "</DL><p>\r\n";
// Opera's own name for it; a browser that knows the toolbar folder puts
// its items on its toolbar whatever the name.
constexpr std::string_view kPersonalBarName = "Personal bar";

// Opera writes a line break inside a value as the two bytes 0x02 0x02.
constexpr char kOperaBreak = '\x02';

// Escapes the four characters that would end or open markup, so that
// importers that read the file line by line (Chromium) and those that
// parse it (Firefox) both get the text back. Opera's line-break pairs
// (taken left to right) become `pair`; a 0x02 byte outside a pair is no
// line break and becomes `lone`.
std::string Escaped(std::string_view text, std::string_view pair, std::string_view lone) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (const char c = text[i]) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case kOperaBreak:
                if (i + 1 < text.size() && text[i + 1] == kOperaBreak) {
                    out += pair;
                    ++i;
                } else {
                    out += lone;
                }
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A title stays on its line: Chromium reads the file line by line.
std::string Title(std::string_view text) {
    return Escaped(text, " ", std::string_view(&kOperaBreak, 1));
}

std::string Description(std::string_view text) {
    return Escaped(text, "\r\n", std::string_view(&kOperaBreak, 1));
}

// In a URL, a line-break byte is no character a link can hold: each is
// percent-encoded, as a URL spells a control character.
std::string Href(std::string_view url) {
    return Escaped(url, "%02%02", "%02");
}

// "http:", "javascript:", "opera:": a URL without one is no link a
// browser keeps.
bool HasScheme(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

void Attribute(std::string& out, std::string_view name, const std::string& value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}

void DateAttribute(std::string& out, std::string_view name,
                   const std::optional<std::int64_t>& seconds) {
    if (seconds) Attribute(out, name, std::to_string(*seconds));
}

class Writer {
  public:
    Writer(bool keep_trash, ConversionReport& report, const ProgressSink& progress)
        : keep_trash_(keep_trash), report_(report), progress_(progress) {
        for (std::string_view label :
             {kFoldersCount, kBookmarksCount, kSeparatorsCount, kDescriptionsCount, kKeywordsCount,
              kPersonalBarCount, kTrashLeftOutCount})
            report_.Count(label, 0);
    }

    BrowserHtml Write(const model::BookmarkTree& tree) {
        html_ += kPrologue;
        WritePersonalBar(tree.root);
        for (const BookmarkItem& item : tree.root.children) WriteItem(item, 1, true);
        html_ += kEpilogue;
        return {std::move(html_), bookmarks_};
    }

  private:
    // A folder being written: its items up to `next` are done.
    struct OpenFolder {
        const BookmarkItem* folder;
        std::size_t next;
        int depth;
    };

    // Opera shows the personal bar's items in their folders and on the bar;
    // the copies on the toolbar keep the tree as Opera had it.
    void WritePersonalBar(const BookmarkItem& root) {
        std::vector<const BookmarkItem*> bar;
        model::ForEachItem(root, [&bar](const BookmarkItem& item, std::size_t) {
            if (item.is_trash) return false;  // Opera's bar shows nothing deleted
            if (item.on_personal_bar) bar.push_back(&item);
            return true;
        });
        if (bar.empty()) return;
        // Items without a position follow those with one, in the file's order.
        std::stable_sort(bar.begin(), bar.end(), [](const BookmarkItem* a, const BookmarkItem* b) {
            return a->personal_bar_pos.value_or(INT64_MAX) <
                   b->personal_bar_pos.value_or(INT64_MAX);
        });
        Indent(1);
        html_ += "<DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">";
        html_ += kPersonalBarName;
        html_ += "</H3>\r\n";
        Indent(1);
        html_ += "<DL><p>\r\n";
        for (const BookmarkItem* item : bar) WriteItem(*item, 2, false);
        Indent(1);
        html_ += "</DL><p>\r\n";
        report_.Count(kPersonalBarCount, static_cast<std::int64_t>(bar.size()));
    }

    // Writes `item` and all it holds, without recursion: a hotlist may nest
    // folders a million deep. `counted`: the tree itself, not the personal
    // bar's copies.
    void WriteItem(const BookmarkItem& item, int depth, bool counted) {
        std::vector<OpenFolder> open;
        WriteOne(item, depth, counted, open);
        while (!open.empty()) {
            OpenFolder& top = open.back();
            if (top.next == top.folder->children.size()) {
                Indent(top.depth);
                html_ += "</DL><p>\r\n";
                if (counted) report_.Count(kFoldersCount);
                open.pop_back();
                continue;
            }
            const BookmarkItem& child = top.folder->children[top.next++];
            WriteOne(child, top.depth + 1, counted, open);  // `top` is not used past here
        }
    }

    void WriteOne(const BookmarkItem& item, int depth, bool counted,
                  std::vector<OpenFolder>& open) {
        if (item.is_trash && !keep_trash_) {
            if (counted) report_.Count(kTrashLeftOutCount, ItemsWithin(item));
            return;
        }
        switch (item.kind) {
            case BookmarkItem::Kind::kFolder:
                WriteFolderHeading(item, depth, counted);
                open.push_back({&item, 0, depth});
                break;
            case BookmarkItem::Kind::kBookmark:
                WriteBookmark(item, depth, counted);
                break;
            case BookmarkItem::Kind::kSeparator:
                Indent(depth);
                html_ += "<HR>\r\n";
                if (counted) report_.Count(kSeparatorsCount);
                break;
        }
    }

    void WriteFolderHeading(const BookmarkItem& folder, int depth, bool counted) {
        Indent(depth);
        html_ += "<DT><H3";
        DateAttribute(html_, "ADD_DATE", folder.created);
        DateAttribute(html_, "LAST_MODIFIED", folder.created);
        html_ += '>';
        html_ += Title(folder.name);
        html_ += "</H3>\r\n";
        WriteDescription(folder, depth, counted);
        Indent(depth);
        html_ += "<DL><p>\r\n";
    }

    void WriteBookmark(const BookmarkItem& bookmark, int depth, bool counted) {
        Indent(depth);
        html_ += "<DT><A";
        Attribute(html_, "HREF", Href(bookmark.url));
        DateAttribute(html_, "ADD_DATE", bookmark.created);
        DateAttribute(html_, "LAST_VISIT", bookmark.visited);
        DateAttribute(html_, "LAST_MODIFIED", bookmark.created);
        if (!bookmark.short_name.empty()) {
            Attribute(html_, "SHORTCUTURL", Title(bookmark.short_name));
            if (counted) {
                report_.Count(kKeywordsCount);
                const auto [known, added] = keywords_.emplace(bookmark.short_name, bookmark.url);
                if (!added && known->second != bookmark.url)
                    report_.Warn(kSharedKeywordWarning, bookmark.short_name);
            }
        }
        html_ += '>';
        html_ += Title(bookmark.name);
        html_ += "</A>\r\n";
        WriteDescription(bookmark, depth, counted);
        if (!counted) return;
        ++bookmarks_;
        report_.Count(kBookmarksCount);
        if (!bookmark.url.empty() && !urls_.insert(bookmark.url).second)
            report_.Warn(kDuplicateUrlWarning, bookmark.url);
        if (!HasScheme(bookmark.url)) report_.Warn(kNoSchemeWarning, bookmark.name);
        if (progress_) progress_();
    }

    void WriteDescription(const BookmarkItem& item, int depth, bool counted) {
        if (item.description.empty()) return;
        Indent(depth);
        html_ += "<DD>";
        html_ += Description(item.description);
        html_ += "\r\n";
        if (counted) report_.Count(kDescriptionsCount);
    }

    // Indentation is for the reader of the file only; past some depth it
    // would make the file grow with the square of the nesting.
    void Indent(int depth) {
        constexpr int kDeepestIndent = 32;
        html_.append(static_cast<std::size_t>(std::min(depth, kDeepestIndent)) * 4, ' ');
    }

    // The items a left-out trash folder holds, folders within it counted too.
    static std::int64_t ItemsWithin(const BookmarkItem& folder) {
        std::int64_t n = 0;
        model::ForEachItem(folder, [&n](const BookmarkItem&, std::size_t) {
            ++n;
            return true;
        });
        return n;
    }

    const bool keep_trash_;
    ConversionReport& report_;
    const ProgressSink& progress_;
    std::string html_;
    std::int32_t bookmarks_ = 0;
    std::set<std::string> urls_;
    std::map<std::string, std::string> keywords_;  // the URL each keyword was first given to
};

}  // namespace

BrowserHtml WriteBrowserHtml(const model::BookmarkTree& tree, bool keep_trash,
                             ConversionReport& report, const ProgressSink& progress) {
    return Writer(keep_trash, report, progress).Write(tree);
}

}  // namespace quarvo::formats
