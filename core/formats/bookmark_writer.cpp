// SPDX-License-Identifier: MIT
#include "formats/bookmark_writer.h"

#include <vector>

namespace quarvo::formats {
using model::BookmarkItem;

void BookmarkWriter::WholeItem(const BookmarkItem& item, int depth) {
    struct Open {
        const BookmarkItem* folder;
        std::size_t next;
        int depth;
    };
    std::vector<Open> open;
    Item(model::FieldsOf(item), depth);
    if (item.kind == BookmarkItem::Kind::kFolder) open.push_back({&item, 0, depth});
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next == top.folder->children.size()) {
            FolderEnd(top.depth);
            open.pop_back();
            continue;
        }
        const BookmarkItem& child = top.folder->children[top.next++];
        const int child_depth = top.depth + 1;
        Item(model::FieldsOf(child), child_depth);  // `top` is not used past here
        if (child.kind == BookmarkItem::Kind::kFolder) open.push_back({&child, 0, child_depth});
    }
}

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

BookmarkTally::BookmarkTally(ConversionReport* report, const ProgressSink& progress,
                             std::string_view lasting,
                             std::initializer_list<std::string_view> labels)
    : report_(report), progress_(progress), urls_(lasting) {
    if (report_)
        for (std::string_view label : labels) report_->Count(label, 0);
}

void BookmarkTally::Count(std::string_view label, std::int64_t n) {
    if (counted_ && report_) report_->Count(label, n);
}

void BookmarkTally::Bookmark(const model::BookmarkFields& bookmark) {
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

void BookmarkTally::Keyword(const model::BookmarkFields& bookmark, std::string_view label,
                            bool warn_shared) {
    if (!counted_ || !report_) return;
    report_->Count(label);
    if (!warn_shared) return;
    // Keywords are few: kept as they are.
    const auto known = keywords_.find(bookmark.short_name);
    if (known == keywords_.end())
        keywords_.emplace(bookmark.short_name, bookmark.url);
    else if (known->second != bookmark.url)
        warnings_.Warn(kSharedKeywordWarning, bookmark.short_name);
    const auto given = keyword_of_.find(bookmark.url);
    if (given == keyword_of_.end())
        keyword_of_.emplace(bookmark.url, bookmark.short_name);
    else if (given->second != bookmark.short_name)
        warnings_.Warn(kUrlKeywordsWarning, bookmark.url);
}

std::int32_t BookmarkTally::Finish() {
    if (report_) report_->Append(warnings_);
    warnings_ = ConversionReport{};
    return bookmarks_;
}

bool TrashFilter::Admit(const model::BookmarkFields& item, int depth, BookmarkTally& tally) {
    if (left_out_depth_ != 0) {
        tally.Count(kTrashLeftOutCount);
        return false;
    }
    if (item.is_trash && !keep_) {
        if (item.kind == BookmarkItem::Kind::kFolder) left_out_depth_ = depth;
        return false;
    }
    return true;
}

bool TrashFilter::AdmitEnd(int depth) {
    if (left_out_depth_ == 0) return true;
    if (depth == left_out_depth_) left_out_depth_ = 0;
    return false;
}

}  // namespace quarvo::formats
