// SPDX-License-Identifier: MIT
// JSON written as it goes, for the browsers' own bookmark files: strings
// escaped in one place (valid UTF-8 out whatever comes in, control
// characters as \u00XX, Opera's 0x02 0x02 line breaks as the caller says),
// objects and arrays laid out two blanks a level, handed on in blocks so
// that the file is never held whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/output_sinks.h"

namespace quarvo::formats {

// Appends `text` to `out` as the inside of a JSON string. Opera's line-break
// pairs (taken left to right) become `pair`, which is written as it is
// (already escaped); a lone 0x02 is the control character it is. A byte
// that starts no valid UTF-8 sequence becomes U+FFFD. `pass` (may be
// empty) is called after each mebibyte, so that a giant value can be
// handed on as it is written.
void AppendJsonString(std::string& out, std::string_view text, std::string_view pair,
                      const PassText& pass = {});

// Seconds since 1970 as microseconds since the epoch `epoch_offset` seconds
// before 1970; nothing for no date or one past the year 9999, which no
// browser takes.
[[nodiscard]] std::optional<std::int64_t> Microseconds(const std::optional<std::int64_t>& seconds,
                                                       std::int64_t epoch_offset = 0);

class JsonOut {
  public:
    explicit JsonOut(TextSink& sink);
    JsonOut(const JsonOut&) = delete;
    JsonOut& operator=(const JsonOut&) = delete;

    // An object or array as a value of the array open (empty `key`) or of
    // the object open.
    void BeginObject(std::string_view key = {});
    void BeginArray(std::string_view key);
    void End();  // of the innermost object or array

    // Members of the object open; `text` escaped as AppendJsonString does.
    void String(std::string_view key, std::string_view text, std::string_view pair = " ");
    void Number(std::string_view key, std::int64_t number);
    // A decimal number as a JSON string, as Chromium keeps its dates.
    void NumberString(std::string_view key, std::int64_t number);

    // Hands on what is held once a block is full; call between items.
    void Pass();
    // Hands on the rest; call at the end.
    void Flush();

  private:
    void Member(std::string_view key);
    void NewLine();

    TextSink& sink_;
    std::string out_;
    std::vector<char> open_;  // '}' or ']' per level, innermost last
    bool first_ = true;       // nothing written yet in the innermost level
};

}  // namespace quarvo::formats

namespace quarvo::formats {

// What makes the identifiers of one conversion its own: a hash of the
// hotlist's bytes (FNV-1a), so that the same hotlist always gives the same
// file and two hotlists do not give their bookmarks the same identifiers.
[[nodiscard]] std::uint64_t IdentitySeed(std::string_view bytes);

}  // namespace quarvo::formats
