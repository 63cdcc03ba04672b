// SPDX-License-Identifier: MIT
// Text inside the markup of the ENEX and HTML writers: escaped so that it
// never ends or opens markup, and held to the characters XML 1.0 allows.
#pragma once

#include <string>
#include <string_view>

namespace quarvo::formats {

// Appends `text` (UTF-8) to `out` with & < > " written as references, and
// each character XML 1.0 cannot hold (the control characters but tab and
// line break, U+FFFE, U+FFFF) as U+FFFD. Returns whether one was replaced.
bool AppendMarkupText(std::string& out, std::string_view text);

inline constexpr std::string_view kNotInXmlWarning =
    "control characters XML cannot hold, written as U+FFFD";

}  // namespace quarvo::formats
