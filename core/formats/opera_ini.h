// SPDX-License-Identifier: MIT
// Opera's preference files (accounts.ini, index.ini, operaprefs.ini): a
// header line, ";" comments, [Section] lines and Key=Value lines, in UTF-8.
// Opera writes a key without "=" when its value is empty.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::formats {

struct IniSetting {
    std::string key;
    std::string value;
};

struct IniSection {
    std::string name;                  // without the brackets
    std::vector<IniSetting> settings;  // in the file's order

    // The value of `key` (letters compared without case); empty when absent.
    [[nodiscard]] std::string_view Value(std::string_view key) const noexcept;
};

// Decides whether a key is kept. A key that is not kept never has its value
// copied out of the file's text.
using IniKeyFilter = std::function<bool(std::string_view section, std::string_view key)>;

// Reads the sections of `text`. A UTF-8 byte order mark is passed over; lines
// end in LF, CR LF or CR; blanks around keys and values are dropped. Lines
// before the first section, comments and empty lines are skipped. Never fails.
[[nodiscard]] std::vector<IniSection> ReadOperaIni(std::string_view text,
                                                   const IniKeyFilter& keep = {});

// The first section named `name` (letters compared without case), or null.
[[nodiscard]] const IniSection* FindSection(const std::vector<IniSection>& sections,
                                            std::string_view name) noexcept;

[[nodiscard]] bool SameLetters(std::string_view a, std::string_view b) noexcept;

}  // namespace quarvo::formats
