// SPDX-License-Identifier: MIT
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "formats/opera_ini.h"
#include "formats/opera_link_files.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kDialSection = "Speed Dial ";

// The dial's number, or nothing for a section that is not a dial
// ("Deleted Items", "Background", or a number that is not one).
std::optional<std::uint64_t> DialNumber(std::string_view section) {
    if (section.size() <= kDialSection.size() ||
        !SameLetters(section.substr(0, kDialSection.size()), kDialSection))
        return std::nullopt;
    const std::string_view digits = section.substr(kDialSection.size());
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

// Opera 11 and 12 write "Custom Title" as a flag saying the Title is the
// user's own; a value that is neither flag is taken as the user's title.
std::string_view DialTitle(const IniSection& dial) {
    const std::string_view custom = dial.Value("Custom Title");
    if (!custom.empty() && custom != "0" && custom != "1") return custom;
    const std::string_view title = dial.Value("Title");
    return title.empty() ? dial.Value("Url") : title;
}

}  // namespace

model::BookmarkItem ReadSpeedDial(std::string_view text, ConversionReport& report) {
    const std::vector<IniSection> sections = ReadOperaIni(text);
    std::vector<std::pair<std::uint64_t, const IniSection*>> dials;
    for (const IniSection& section : sections)
        if (const auto number = DialNumber(section.name)) dials.emplace_back(*number, &section);
    std::stable_sort(dials.begin(), dials.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    model::BookmarkItem folder;
    folder.kind = model::BookmarkItem::Kind::kFolder;
    folder.name = kSpeedDialFolder;
    report.Count(kDialsCount, 0);
    for (const auto& [number, dial] : dials) {
        if (!dial->Value("Extension ID").empty()) {
            report.Count(kExtensionDialsCount);
            continue;
        }
        if (dial->Value("Url").empty()) {
            report.Count(kEmptyDialsCount);
            continue;
        }
        model::BookmarkItem bookmark;
        bookmark.url = LinkText(dial->Value("Url"), dial->name, report);
        bookmark.name = LinkText(DialTitle(*dial), dial->name, report);
        folder.children.push_back(std::move(bookmark));
        report.Count(kDialsCount);
    }
    return folder;
}

}  // namespace quarvo::formats
