// SPDX-License-Identifier: MIT
// The hotlist conversion: the Opera hotlist reader feeding the Netscape
// bookmark writer, driven by the conversion driver.
#include "quarvo/conversions/hotlist.h"

#include <optional>

#include "engine/conversion_driver.h"
#include "formats/netscape_html_writer.h"
#include "formats/opera_hotlist_reader.h"

namespace quarvo {
namespace {

struct HotlistToNetscapeHtml {
    struct Result {
        std::int32_t bookmarks = 0;
        bool unsupported_version = false;  // an entry names a version other than 2.0
    };
    static constexpr std::string_view kPrologue = formats::NetscapeHtmlWriter::kPrologue;
    static constexpr std::string_view kEpilogue = formats::NetscapeHtmlWriter::kEpilogue;

    static std::optional<TextCut> FindCut(std::string_view window, std::size_t near) {
        return formats::OperaHotlistReader::FindCut(window, near);
    }

    static Result ConvertPart(TextBuffer& html, std::string_view part, bool /*ends_text*/,
                              const ProgressSink& progress, const BlockSink& drain) {
        formats::NetscapeHtmlWriter writer(html, part, drain);
        Result result;
        result.unsupported_version = !formats::OperaHotlistReader::ForEach(
            part, progress, [&](const model::HotlistEntry& entry) {
                writer.Write(entry);
                if (entry.bookmark) ++result.bookmarks;
            });
        return result;
    }

    static Result Join(const Result& first, const Result& second) {
        return {first.bookmarks + second.bookmarks,
                first.unsupported_version || second.unsupported_version};
    }
    // After an unsupported version nothing is written.
    static bool Keeps(const Result& result) { return !result.unsupported_version; }
};

using Driver = ConversionDriver<HotlistToNetscapeHtml>;

std::optional<BookmarksConversion> ConvertText(std::string_view hotlist, std::size_t near,
                                               const ProgressSink& progress) {
    Driver::Converted converted = Driver::Text(hotlist, near, progress);
    if (converted.result.unsupported_version) return std::nullopt;
    return BookmarksConversion{std::move(converted.text), converted.result.bookmarks};
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
                                   const ProgressSink& progress, const MessageSink& message,
                                   const ConvertedHotlistSink& converted) {
    Driver::Inspection inspect;
    if (converted)
        inspect = [&](std::string_view hotlist, const HotlistToNetscapeHtml::Result& result) {
            if (!result.unsupported_version) converted(hotlist, result.bookmarks);
        };
    const auto result = Driver::File(hotlist_path, html_path, progress, inspect);
    if (result.unsupported_version) {
        if (message) message(kUnknownVersionMessage);
        return kUnsupportedHotlistVersion;  // the output file stays as it was
    }
    return result.bookmarks;
}

}  // namespace quarvo
