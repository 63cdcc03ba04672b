// SPDX-License-Identifier: MIT
#include "formats/browser_html_writer.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace quarvo::formats {
using model::BookmarkItem;

namespace {

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

// A block is handed on once it is this full, also within one giant value.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Titles, descriptions and URLs are escaped as they are written, in runs of
// plain bytes, never copied into a string of their own first.
bool IsMarkup(char c) {
    return c == '&' || c == '<' || c == '>' || c == '"' || c == kOperaBreak;
}

// A title stays on its line: Chromium reads the file line by line.
constexpr std::string_view kTitleBreak = " ";
constexpr std::string_view kLoneBreak{&kOperaBreak, 1};
constexpr std::string_view kDescriptionBreak = "\r\n";
// In a URL, a line-break byte is no character a link can hold: each is
// percent-encoded, as a URL spells a control character.
constexpr std::string_view kHrefBreak = "%02%02";
constexpr std::string_view kHrefLoneBreak = "%02";

}  // namespace

BrowserHtmlWriter::BrowserHtmlWriter(TextSink& sink, bool keep_trash, ConversionReport* report,
                                     const ProgressSink& progress, std::string_view lasting)
    : sink_(sink), keep_trash_(keep_trash), report_(report), progress_(progress), urls_(lasting) {
    if (report_)
        for (std::string_view label :
             {kFoldersCount, kBookmarksCount, kSeparatorsCount, kDescriptionsCount, kKeywordsCount,
              kPersonalBarCount, kTrashLeftOutCount})
            report_->Count(label, 0);
    out_.reserve(kBlock + kBlock / 8);
    Put(kPrologue);
}

void BrowserHtmlWriter::BeginPersonalBar() {
    Indent(1);
    Put("<DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">");
    Put(kPersonalBarName);
    Put("</H3>\r\n");
    Indent(1);
    Put("<DL><p>\r\n");
    counted_ = false;
}

void BrowserHtmlWriter::EndPersonalBar(std::int64_t items) {
    Indent(1);
    Put("</DL><p>\r\n");
    counted_ = true;
    Count(kPersonalBarCount, items);
    PassBlock();
}

void BrowserHtmlWriter::Item(const model::BookmarkFields& item, int depth) {
    if (left_out_depth_ != 0) {
        Count(kTrashLeftOutCount);
        return;
    }
    if (item.is_trash && !keep_trash_) {
        if (item.kind == BookmarkItem::Kind::kFolder) left_out_depth_ = depth;
        return;
    }
    switch (item.kind) {
        case BookmarkItem::Kind::kFolder:
            FolderHeading(item, depth);
            break;
        case BookmarkItem::Kind::kBookmark:
            Bookmark(item, depth);
            break;
        case BookmarkItem::Kind::kSeparator:
            Indent(depth);
            Put("<HR>\r\n");
            Count(kSeparatorsCount);
            break;
    }
    PassBlock();
}

void BrowserHtmlWriter::FolderEnd(int depth) {
    if (left_out_depth_ != 0) {
        if (depth == left_out_depth_) left_out_depth_ = 0;
        return;
    }
    Indent(depth);
    Put("</DL><p>\r\n");
    Count(kFoldersCount);
    PassBlock();
}

std::int32_t BrowserHtmlWriter::Finish() {
    Put(kEpilogue);
    if (!out_.empty()) sink_.Write(out_);
    out_.clear();
    if (report_) report_->Append(warnings_);
    return bookmarks_;
}

void BrowserHtmlWriter::FolderHeading(const model::BookmarkFields& folder, int depth) {
    Indent(depth);
    Put("<DT><H3");
    DateAttribute("ADD_DATE", folder.created);
    DateAttribute("LAST_MODIFIED", folder.created);
    Put(">");
    PutEscaped(folder.name, kTitleBreak, kLoneBreak);
    Put("</H3>\r\n");
    Description(folder.description, depth);
    Indent(depth);
    Put("<DL><p>\r\n");
}

void BrowserHtmlWriter::Bookmark(const model::BookmarkFields& bookmark, int depth) {
    Indent(depth);
    Put("<DT><A");
    EscapedAttribute("HREF", bookmark.url, kHrefBreak, kHrefLoneBreak);
    DateAttribute("ADD_DATE", bookmark.created);
    DateAttribute("LAST_VISIT", bookmark.visited);
    DateAttribute("LAST_MODIFIED", bookmark.created);
    if (!bookmark.short_name.empty()) {
        EscapedAttribute("SHORTCUTURL", bookmark.short_name, kTitleBreak, kLoneBreak);
        if (counted_ && report_) {
            report_->Count(kKeywordsCount);
            // Keywords are few: kept as they are.
            const auto known = keywords_.find(bookmark.short_name);
            if (known == keywords_.end())
                keywords_.emplace(bookmark.short_name, bookmark.url);
            else if (known->second != bookmark.url)
                warnings_.Warn(kSharedKeywordWarning, bookmark.short_name);
        }
    }
    Put(">");
    PutEscaped(bookmark.name, kTitleBreak, kLoneBreak);
    Put("</A>\r\n");
    Description(bookmark.description, depth);
    if (!counted_) return;
    ++bookmarks_;
    if (report_) {
        report_->Count(kBookmarksCount);
        if (!bookmark.url.empty() && !urls_.Insert(bookmark.url))
            warnings_.Warn(kDuplicateUrlWarning, bookmark.url);
        if (!HasScheme(bookmark.url)) warnings_.Warn(kNoSchemeWarning, bookmark.name);
    }
    if (progress_) progress_();
}

void BrowserHtmlWriter::Description(std::string_view description, int depth) {
    if (description.empty()) return;
    Indent(depth);
    Put("<DD>");
    PutEscaped(description, kDescriptionBreak, kLoneBreak);
    Put("\r\n");
    Count(kDescriptionsCount);
}

void BrowserHtmlWriter::Attribute(std::string_view name, std::string_view value) {
    Put(" ");
    Put(name);
    Put("=\"");
    Put(value);
    Put("\"");
}

void BrowserHtmlWriter::EscapedAttribute(std::string_view name, std::string_view value,
                                         std::string_view pair, std::string_view lone) {
    Put(" ");
    Put(name);
    Put("=\"");
    PutEscaped(value, pair, lone);
    Put("\"");
}

void BrowserHtmlWriter::DateAttribute(std::string_view name,
                                      const std::optional<std::int64_t>& seconds) {
    if (!seconds) return;
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, *seconds).ptr;
    Attribute(name, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void BrowserHtmlWriter::Count(std::string_view label, std::int64_t n) {
    if (counted_ && report_) report_->Count(label, n);
}

// Escapes the four characters that would end or open markup, so that
// importers that read the file line by line (Chromium) and those that
// parse it (Firefox) both get the text back. Opera's line-break pairs
// (taken left to right) become `pair`; a 0x02 byte outside a pair is no
// line break and becomes `lone`.
void BrowserHtmlWriter::PutEscaped(std::string_view text, std::string_view pair,
                                   std::string_view lone) {
    std::size_t i = 0;
    while (i < text.size()) {
        // A run of plain bytes at most a block long, so that a giant value
        // is handed on as it is written.
        const std::size_t stop = std::min(text.size(), i + kBlock);
        std::size_t plain = i;
        while (plain < stop && !IsMarkup(text[plain])) ++plain;
        out_.append(text.data() + i, plain - i);
        i = plain;
        if (i < text.size() && IsMarkup(text[i])) {
            switch (text[i]) {
                case '&':
                    Put("&amp;");
                    break;
                case '<':
                    Put("&lt;");
                    break;
                case '>':
                    Put("&gt;");
                    break;
                case '"':
                    Put("&quot;");
                    break;
                default:  // kOperaBreak
                    if (i + 1 < text.size() && text[i + 1] == kOperaBreak) {
                        Put(pair);
                        ++i;
                    } else {
                        Put(lone);
                    }
                    break;
            }
            ++i;
        }
        PassBlock();
    }
}

void BrowserHtmlWriter::PassBlock() {
    if (out_.size() < kBlock) return;
    sink_.Write(out_);
    out_.clear();
}

// Indentation is for a person reading the file; browsers skip it (Chromium
// trims each line, Firefox parses the markup). Past eight levels, deeper
// than any hotlist met in the wild, it stops growing: a file of a million
// nested folders then grows by at most 32 bytes a line, in proportion to
// its input, not with the square of its nesting.
void BrowserHtmlWriter::Indent(int depth) {
    out_.append(static_cast<std::size_t>(std::min(depth, kDeepestIndent)) * 4, ' ');
}

}  // namespace quarvo::formats
