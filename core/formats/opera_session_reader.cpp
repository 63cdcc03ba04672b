// SPDX-License-Identifier: MIT
#include <charconv>
#include <cstdint>
#include <map>
#include <vector>

#include "formats/opera_ini.h"
#include "formats/opera_link_files.h"

namespace quarvo::formats {
namespace {

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// Entry `index` of the list section "<section>history <list>", empty when
// absent.
std::string_view HistoryEntry(const std::vector<IniSection>& sections, std::string_view section,
                              std::string_view list, std::int64_t index) {
    const IniSection* entries =
        FindSection(sections, std::string(section) + "history " + std::string(list));
    return entries ? entries->Value(std::to_string(index)) : std::string_view();
}

model::BookmarkItem Folder(std::string name) {
    model::BookmarkItem folder;
    folder.kind = model::BookmarkItem::Kind::kFolder;
    folder.name = std::move(name);
    return folder;
}

}  // namespace

model::BookmarkItem ReadSession(std::string_view text, std::string_view name,
                                ConversionReport& report) {
    const std::vector<IniSection> sections = ReadOperaIni(text);
    model::BookmarkItem session = Folder(std::string(name));
    // Windows in the file's order, found by their id; a tab whose window is
    // missing gets a window of its own rather than being lost.
    std::map<std::string, std::size_t, std::less<>> window_at;
    auto window = [&](std::string_view id) -> model::BookmarkItem& {
        auto [place, added] = window_at.try_emplace(std::string(id), session.children.size());
        if (added) {
            session.children.push_back(
                Folder("Window " + std::to_string(session.children.size() + 1)));
            report.Count(kSessionWindowsCount);
        }
        return session.children[place->second];
    };
    report.Count(kSessionWindowsCount, 0);
    report.Count(kTabsCount, 0);
    for (const IniSection& section : sections) {
        const std::string_view type = section.Value("type");
        if (type == "0") {
            window(section.Value("id"));
            continue;
        }
        if (type != "1") continue;
        // "current history" counts from 1; the lists count from 0.
        const std::int64_t current = Number(section.Value("current history")).value_or(1) - 1;
        const std::string_view url = HistoryEntry(sections, section.name, "url", current);
        if (url.empty()) {
            report.Count(kEmptyTabsCount);
            continue;
        }
        if (url.starts_with("opera:")) {
            report.Count(kOperaPageTabsCount);
            continue;
        }
        const std::string place = std::string(name) + " [" + section.name + "]";
        model::BookmarkItem tab;
        tab.url = LinkText(url, place, report);
        const std::string_view title = HistoryEntry(sections, section.name, "title", current);
        tab.name = title.empty() ? tab.url : LinkText(title, place, report);
        window(section.Value("parent")).children.push_back(std::move(tab));
        report.Count(kTabsCount);
    }
    return session;
}

}  // namespace quarvo::formats
