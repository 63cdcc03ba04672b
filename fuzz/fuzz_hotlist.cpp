// SPDX-License-Identifier: MIT
// Hotlist conversion on arbitrary bytes: it must never crash, must refuse
// exactly the files that name another version, and must write one HTML line
// per entry kind with every value escaped, so that no name or URL can add or
// break a tag or an attribute.
#include <cstddef>
#include <cstdint>

#include "laws.h"
#include "quarvo/conversions/hotlist.h"

namespace {

using quarvo::fuzz::Contains;

struct Kinds {
    bool refused = false;
    std::size_t folders = 0, bookmarks = 0, separators = 0, folder_ends = 0;
};

// Entries end at the first blank line; every test runs on every entry.
Kinds ModelKinds(std::string_view rest) {
    Kinds kinds;
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n\r\n");
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 4);
        if (Contains(entry, "Opera Hotlist version") &&
            !Contains(entry, "Opera Hotlist version 2.0")) {
            kinds.refused = true;
            return kinds;
        }
        kinds.folders += Contains(entry, "#FOLDER");
        kinds.bookmarks += Contains(entry, "#URL");
        kinds.separators += Contains(entry, "#SEPERATOR");
        kinds.folder_ends += entry == "-";
    }
    return kinds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    const std::string_view text = AsText(data, size);
    std::size_t steps = 0;
    const auto converted = quarvo::ConvertHotlistText(text, [&steps] { ++steps; });
    const std::string twin = CrLfTwin(text);
    const Kinds model = ModelKinds(twin);

    QUARVO_LAW(converted.has_value() == !model.refused);
    if (!converted) return 0;
    const std::string& html = converted->html;
    QUARVO_LAW(converted->bookmarks == static_cast<std::int32_t>(model.bookmarks));
    QUARVO_LAW(steps == model.bookmarks);
    QUARVO_LAW(html.starts_with(quarvo::kBookmarkPrologue));
    QUARVO_LAW(html.ends_with(quarvo::kBookmarkEpilogue));

    QUARVO_LAW(CountTags(html, "<DT><H3 FOLDED ADD_DATE=\"") == model.folders);
    QUARVO_LAW(CountTags(html, "<DT><A HREF=\"") == model.bookmarks + model.separators);
    QUARVO_LAW(CountTags(html, "</DL><p>\r\n") == model.folder_ends + 1);

    // Escaped values hold no markup bytes, so these counts are those of the
    // fixed text alone: folder heading, bookmark or separator line, folder end.
    const std::string_view prologue = quarvo::kBookmarkPrologue;
    const std::size_t lines = model.bookmarks + model.separators;
    QUARVO_LAW(CountByte(html, '<') == CountByte(prologue, '<') + 5 * model.folders + 3 * lines +
                                           2 * model.folder_ends + 2);
    QUARVO_LAW(CountByte(html, '>') == CountByte(prologue, '>') + 5 * model.folders + 3 * lines +
                                           2 * model.folder_ends + 2);
    QUARVO_LAW(CountByte(html, '"') == 2 * model.folders + 8 * lines);

    if (twin.size() != text.size()) {
        const auto twin_converted = quarvo::ConvertHotlistText(twin);
        QUARVO_LAW(twin_converted.has_value() && twin_converted->html == html);
    }

    // Converted in two parts side by side, cut anywhere, it gives the same.
    std::size_t cut_steps = 0;
    const auto cut = quarvo::detail::ConvertHotlistTextCutNear(text, CutPoint(text),
                                                               [&cut_steps] { ++cut_steps; });
    QUARVO_LAW(cut.has_value() && cut->html == html && cut->bookmarks == converted->bookmarks);
    QUARVO_LAW(cut_steps == steps);
    return 0;
}
