// SPDX-License-Identifier: MIT
#include <algorithm>
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

// A page of a tab's history as a bookmark, named by its title, else its URL.
model::BookmarkItem Page(std::string_view url, std::string_view title, std::string_view place,
                         ConversionReport& report) {
    model::BookmarkItem page;
    page.url = LinkText(url, place, report);
    page.name = title.empty() ? page.url : LinkText(title, place, report);
    return page;
}

// Opera's own pages open nothing in another browser.
bool Writable(std::string_view url) {
    return !url.empty() && !url.starts_with("opera:");
}

// `tab` as a folder of the pages of its history, named as its bookmark is;
// `tab` itself when the history holds no other page worth writing.
model::BookmarkItem WithHistory(model::BookmarkItem tab, const std::vector<IniSection>& sections,
                                std::string_view section, std::int64_t current,
                                std::string_view place, ConversionReport& report) {
    const IniSection* urls = FindSection(sections, std::string(section) + "history url");
    if (!urls) return tab;
    // A count beyond the entries the section can hold is a damaged file,
    // not a reason to look up numbers that cannot be there.
    const std::int64_t count = std::min(Number(urls->Value("count")).value_or(0),
                                        static_cast<std::int64_t>(urls->settings.size()));
    model::BookmarkItem folder = Folder(tab.name);
    // A damaged file may name a current page past the count: it goes last,
    // never lost.
    const bool current_counted = current >= 0 && current < count;
    for (std::int64_t index = 0; index < count; ++index) {
        if (index == current) {
            folder.children.push_back(tab);
            continue;
        }
        const std::string_view url = urls->Value(std::to_string(index));
        if (Writable(url))
            folder.children.push_back(
                Page(url, HistoryEntry(sections, section, "title", index), place, report));
    }
    if (!current_counted) folder.children.push_back(tab);
    if (folder.children.size() < 2) return tab;
    report.Count(kSessionHistoryCount, static_cast<std::int64_t>(folder.children.size()) - 1);
    return folder;
}

}  // namespace

model::BookmarkItem ReadSession(std::string_view text, std::string_view name,
                                ConversionReport& report, bool history) {
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
    if (history) report.Count(kSessionHistoryCount, 0);
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
        model::BookmarkItem tab =
            Page(url, HistoryEntry(sections, section.name, "title", current), place, report);
        if (history)
            tab = WithHistory(std::move(tab), sections, section.name, current, place, report);
        window(section.Value("parent")).children.push_back(std::move(tab));
        report.Count(kTabsCount);
    }
    return session;
}

}  // namespace quarvo::formats
