// SPDX-License-Identifier: MIT
#include "formats/opera_ini.h"

#include <algorithm>

namespace quarvo::formats {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameLetters(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view IniSection::Value(std::string_view key) const noexcept {
    for (const IniSetting& setting : settings)
        if (SameLetters(setting.key, key)) return setting.value;
    return {};
}

std::vector<IniSection> ReadOperaIni(std::string_view text, const IniKeyFilter& keep) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<IniSection> sections;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end);
        if (text.starts_with("\r\n"))
            text.remove_prefix(2);
        else if (!text.empty())
            text.remove_prefix(1);

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        if (sections.empty()) continue;  // the header line
        const std::size_t eq = line.find('=');
        const std::string_view key = Trimmed(line.substr(0, eq));
        IniSection& section = sections.back();
        if (key.empty() || (keep && !keep(section.name, key))) continue;
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : Trimmed(line.substr(eq + 1));
        section.settings.push_back({std::string(key), std::string(value)});
    }
    return sections;
}

const IniSection* FindSection(const std::vector<IniSection>& sections,
                              std::string_view name) noexcept {
    for (const IniSection& section : sections)
        if (SameLetters(section.name, name)) return &section;
    return nullptr;
}

}  // namespace quarvo::formats
