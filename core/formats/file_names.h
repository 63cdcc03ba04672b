// SPDX-License-Identifier: MIT
// File and folder names made from what a user typed (the titles of notes,
// the names of folders and mail accounts): names that Windows, macOS and
// Linux all take, and that stay apart where those systems compare names
// without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace quarvo::formats {

inline constexpr std::size_t kMostNameCharacters = 100;
// 100 characters of a script of three bytes each would pass the 255 bytes
// a Linux file system allows a name, the number and extension added.
inline constexpr std::size_t kMostNameBytes = 200;

// `title` (UTF-8, one line) as a name: the characters no system allows
// (/ \ : * ? " < > | and the control characters) replaced by '_' (a tab by
// a blank), blanks and dots removed from both ends (Windows drops them at
// the end, and a leading dot hides a file elsewhere), cut to
// kMostNameCharacters and kMostNameBytes, and a name Windows reserves for
// a device (CON, NUL, COM1, ...) given a '_' after it. Empty when nothing
// is left.
[[nodiscard]] std::string SafeFileName(std::string_view title);

// SafeFileName(name), or `fallback` when nothing is left of it.
[[nodiscard]] std::string SafeFileName(std::string_view name, std::string_view fallback);

// At most `characters` whole characters of `text` (UTF-8), and at most
// `bytes` bytes.
[[nodiscard]] std::string_view CutCharacters(std::string_view text, std::size_t characters,
                                             std::size_t bytes = std::string_view::npos);

// What a note without a first line is called: "Note 2015-12-07" from the
// date it was made, or "Note" without one.
[[nodiscard]] std::string UntitledNoteName(const std::optional<std::int64_t>& created);

// What a folder without a name is called.
inline constexpr std::string_view kUnnamedFolder = "Unnamed folder";

// `name` as a file system that ignores case compares it: the letters of
// the Latin, Greek, Cyrillic and Armenian alphabets in small letters.
[[nodiscard]] std::string FoldedName(std::string_view name);

// The names given so far in one folder.
class UniqueNames {
  public:
    // Takes `name` (a whole name) for a file of the caller's own.
    void Reserve(std::string_view name);

    // `base` (a SafeFileName, not empty) followed by `extension` (".md", or
    // empty for a folder), with " (2)", " (3)", ... before the extension
    // while the name is taken; the name is then taken.
    [[nodiscard]] std::string Take(std::string_view base, std::string_view extension);

  private:
    std::unordered_set<std::string> taken_;  // folded
    // For each name asked for twice, the number to try next: a thousand
    // notes of one title cost a thousand tries, not half a million.
    std::unordered_map<std::string, int> next_number_;
};

}  // namespace quarvo::formats
