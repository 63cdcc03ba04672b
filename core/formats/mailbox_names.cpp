// SPDX-License-Identifier: MIT
#include "formats/mailbox_names.h"

#include <algorithm>

#include "formats/opera_ini.h"

namespace quarvo::formats {
namespace {

constexpr std::size_t kLongestName = 100;

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

bool IsDeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"})
        if (SameLetters(stem, device)) return true;
    return stem.size() == 4 &&
           (SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string SafeFileName(std::string_view name, std::string_view fallback) {
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool forbidden = byte < 0x20 || byte == 0x7F ||
                               std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        safe += forbidden ? '_' : c;
    }
    if (safe.size() > kLongestName) {
        std::size_t end = kLongestName;
        while (end > 0 && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80) --end;
        safe.resize(end);
    }
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    const std::size_t first = safe.find_first_not_of(". ");
    safe.erase(0, first == std::string::npos ? safe.size() : first);
    if (safe.empty()) return std::string(fallback);
    if (!IsDeviceName(safe)) return safe;
    const std::size_t stem = std::min(safe.find('.'), safe.size());
    return safe.substr(0, stem) + "_" + safe.substr(stem);
}

void UniqueNames::Reserve(std::string_view name) {
    taken_.insert(Lowered(name));
}

std::string UniqueNames::Take(std::string_view base, std::string_view extension) {
    std::string name = std::string(base) + std::string(extension);
    for (int n = 2; !taken_.insert(Lowered(name)).second; ++n)
        name = std::string(base) + " (" + std::to_string(n) + ")" + std::string(extension);
    return name;
}

}  // namespace quarvo::formats
