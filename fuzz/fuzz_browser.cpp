// SPDX-License-Identifier: MIT
// The browser flavour on arbitrary bytes: it must never crash, must refuse
// exactly the files whose first line names another version, must write
// valid UTF-8 with every list closed, and must keep every bookmark when the
// trash is kept; and the two JSON files must be well formed and hold the
// same bookmarks and folders.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "json_shape.h"
#include "laws.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "text/text_encoding.h"

namespace {

struct Model {
    bool refused = false;
    std::size_t bookmarks = 0;  // lines that are "#URL" but for blanks around it
};

std::string_view Trimmed(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
}

Model ModelOf(std::string_view text) {
    Model model;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n' && (next == end || text[next - 1] == '\r'))
            ++next;
        text.remove_prefix(next);
        constexpr std::string_view kVersion = "Opera Hotlist version ";
        if (first && line.starts_with(kVersion)) {
            const std::string_view version = Trimmed(line.substr(kVersion.size()));
            model.refused = !version.empty() && version != "2.0";
        }
        first = false;
        model.bookmarks += Trimmed(line) == "#URL";
    }
    return model;
}

std::size_t Count(std::string_view text, std::string_view tag) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(tag, at)) != std::string_view::npos; at += tag.size())
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    const std::string_view text = AsText(data, size);
    const Model model = ModelOf(text);
    for (const bool keep_trash : {false, true}) {
        quarvo::ConversionReport report;
        std::size_t steps = 0;
        const auto converted =
            quarvo::ConvertHotlistTextForBrowsers(text, keep_trash, report, [&steps] { ++steps; });
        QUARVO_LAW(converted.has_value() == !model.refused);
        if (!converted) return 0;
        const std::string& html = converted->html;
        QUARVO_LAW(steps == static_cast<std::size_t>(converted->bookmarks));
        QUARVO_LAW(report.CountOf("bookmarks") == converted->bookmarks);
        if (keep_trash)
            QUARVO_LAW(static_cast<std::size_t>(converted->bookmarks) == model.bookmarks);
        QUARVO_LAW(quarvo::formats::IsValidUtf8(html));
        QUARVO_LAW(Count(html, "<DL><p>") == Count(html, "</DL><p>"));
        // No text of the hotlist opens or closes a tag of its own.
        QUARVO_LAW(Count(html, "<DT>") == Count(html, "<DT><A HREF=\"") + Count(html, "<DT><H3"));
        QUARVO_LAW(Count(html, "\"") % 2 == 0);
        (void)report.Text("");
        // The browsers' own files hold the same bookmarks, as JSON a reader takes.
        for (const auto flavour :
             {quarvo::BookmarkFlavour::kFirefoxBackup, quarvo::BookmarkFlavour::kChromium}) {
            quarvo::ConversionReport json_report;
            const auto json = quarvo::ConvertHotlistTextFor(text, flavour, keep_trash, json_report);
            QUARVO_LAW(json.has_value());
            QUARVO_LAW(json->bookmarks == converted->bookmarks);
            QUARVO_LAW(json_report.CountOf("folders") == report.CountOf("folders"));
            QUARVO_LAW(quarvo::formats::IsValidUtf8(json->html));
            QUARVO_LAW(quarvo::testing::IsWellFormedJson(json->html));
        }
    }
    return 0;
}
