// SPDX-License-Identifier: MIT
// Names and values from files as they may be shown: on a terminal, in a
// message box, in a report. A file or contact name may hold any byte; shown
// raw, a control character could retitle a terminal, move its cursor or
// forge a line of output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarvo {

// `text` with each control character written as an escape: \t, \n, \r, \e,
// else \xHH for a byte and \uXXXX for a character (C1 controls, the line
// and paragraph separators). Outside Windows, a byte that is not part of
// UTF-8 is written \xHH too; on Windows, text is in the ANSI code page,
// whose bytes from 0x80 up are characters. Backslashes stay as they are.
[[nodiscard]] std::string Shown(std::string_view text);

// Shown() of at most the first `most` bytes of `text`, not cut inside a
// UTF-8 character, followed by "..." when more of it was left out.
[[nodiscard]] std::string ShownBriefly(std::string_view text, std::size_t most);

}  // namespace quarvo
