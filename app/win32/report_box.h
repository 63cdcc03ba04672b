// SPDX-License-Identifier: MIT
// The program's box for a message over a list of any length, as the Qt
// front end has it: the list scrolls inside a box that fits the screen's
// work area, with its OK button on it. A message box grows with its text
// instead, past the screen's edge and, with a long list, past what the
// system can paint.
#pragma once

#include <windows.h>

#include <string_view>

namespace quarvo::win32 {

// `text` is in the system's code page; each line of `details` in UTF-8, or
// in the code page where it is not UTF-8. Returns when the box is closed.
void ShowReportBox(HWND owner, std::string_view text, std::string_view details);

// The lines of `details` in UTF-16, each ending in CR LF.
[[nodiscard]] std::wstring ReportLines(std::string_view details);

}  // namespace quarvo::win32
