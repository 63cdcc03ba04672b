// SPDX-License-Identifier: MIT
#include "formats/file_names.h"

#include <algorithm>
#include <array>

#include "text/text_encoding.h"
#include "formats/utc_time.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kForbidden = "/\\:*?\"<>|";

// The well-formed characters of `text` one by one: the code point and the
// bytes that spell it. A byte that begins no character stands for itself.
template <class Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        std::size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text, at);
        const char32_t code = length > 1 ? DecodeUtf8(text, at, length) : byte;
        if (length == 0) length = 1;
        visit(code, text.substr(at, length));
        at += length;
    }
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Blanks and dots at the ends of a name.
std::string_view TrimmedEnds(std::string_view name) {
    const std::size_t first = name.find_first_not_of(" .");
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(" .") + 1 - first);
}

}  // namespace

std::string_view CutCharacters(std::string_view name, std::size_t characters, std::size_t bytes) {
    std::size_t end = 0;
    std::size_t counted = 0;
    bool full = false;
    ForEachCharacter(name, [&](char32_t, std::string_view spelt) {
        full = full || counted == characters || end + spelt.size() > bytes;
        if (full) return;
        ++counted;
        end += spelt.size();
    });
    return name.substr(0, end);
}

namespace {

// Windows takes these for devices, alone and before any extension, in any
// case, blanks before the dot ignored; the superscript digits count too.
bool IsDeviceName(std::string_view name) {
    std::string stem = FoldedName(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static constexpr std::array<std::string_view, 6> kWords = {"con", "prn",    "aux",
                                                               "nul", "conin$", "conout$"};
    for (std::string_view word : kWords)
        if (stem == word) return true;
    if (stem.size() < 4 || !(stem.starts_with("com") || stem.starts_with("lpt"))) return false;
    const std::string_view digit = std::string_view(stem).substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
           digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

char32_t Folded(char32_t c) {
    const auto pair_down = [c](char32_t first, char32_t last, bool even) {
        return c >= first && c <= last && ((c % 2 == 0) == even);
    };
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (pair_down(0x100, 0x137, true) || pair_down(0x14A, 0x177, true) ||
        pair_down(0x139, 0x148, false) || pair_down(0x179, 0x17E, false) ||
        pair_down(0x460, 0x481, true) || pair_down(0x48A, 0x4BF, true) ||
        pair_down(0x4C1, 0x4CE, false) || pair_down(0x4D0, 0x52F, true) ||
        pair_down(0x1E00, 0x1EFF, true))
        return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x531 && c <= 0x556) return c + 0x30;    // Armenian
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Latin
    return c;
}

}  // namespace

std::string SafeFileName(std::string_view title) {
    std::string name;
    ForEachCharacter(title, [&](char32_t c, std::string_view spelt) {
        if (c == '\t')
            name += ' ';
        else if (IsControl(c) ||
                 (c < 0x80 && kForbidden.find(static_cast<char>(c)) != std::string_view::npos))
            name += '_';
        else
            name += spelt;
    });
    std::string safe(
        TrimmedEnds(CutCharacters(TrimmedEnds(name), kMostNameCharacters, kMostNameBytes)));
    if (!IsDeviceName(safe)) return safe;
    const std::size_t dot = std::min(safe.find('.'), safe.size());
    safe = safe.substr(0, dot) + '_' + safe.substr(dot);
    return std::string(TrimmedEnds(CutCharacters(safe, kMostNameCharacters, kMostNameBytes)));
}

std::string SafeFileName(std::string_view name, std::string_view fallback) {
    std::string safe = SafeFileName(name);
    return safe.empty() ? std::string(fallback) : safe;
}

std::string UntitledNoteName(const std::optional<std::int64_t>& created) {
    const auto time = created ? UtcTimeOf(*created) : std::nullopt;
    return time ? "Note " + IsoDate(*time) : "Note";
}

std::string FoldedName(std::string_view name) {
    std::string folded;
    ForEachCharacter(name, [&](char32_t c, std::string_view spelt) {
        const char32_t small = Folded(c);
        if (small == c)
            folded += spelt;
        else
            AppendUtf8(folded, small);
    });
    return folded;
}

void UniqueNames::Reserve(std::string_view name) {
    taken_.insert(FoldedName(name));
}

std::string UniqueNames::Take(std::string_view base, std::string_view extension) {
    std::string name = std::string(base) + std::string(extension);
    if (taken_.insert(FoldedName(name)).second) return name;
    // Numbered, "a.md" as a note's name and as a folder's differ.
    const std::string asked = FoldedName(base) + '/' + FoldedName(extension);
    int& number = next_number_.try_emplace(asked, 2).first->second;
    for (;; ++number) {
        const std::string suffix = " (" + std::to_string(number) + ")";
        // The number stays within the limits of a name: the base gives way.
        const std::string_view room = TrimmedEnds(CutCharacters(
            base, kMostNameCharacters - suffix.size(), kMostNameBytes - suffix.size()));
        name = std::string(room) + suffix + std::string(extension);
        if (taken_.insert(FoldedName(name)).second) break;
    }
    ++number;
    return name;
}

}  // namespace quarvo::formats
