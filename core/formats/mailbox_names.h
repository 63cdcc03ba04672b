// SPDX-License-Identifier: MIT
// File names for mailboxes named after accounts ("alycolas@gmail.com.mbox"):
// names any system takes, and never two alike.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace quarvo::formats {

// `name` (UTF-8) as a file name that Windows, macOS and Linux all take: the
// characters Windows forbids and control characters become '_', leading dots
// and trailing dots and blanks go, a device name (CON, NUL, COM1, ...) gets a
// '_' after it, and it is cut to at most 100 bytes, never inside a UTF-8
// sequence. `fallback` when nothing is left.
[[nodiscard]] std::string SafeFileName(std::string_view name, std::string_view fallback);

// Hands out names that differ from each other and from those reserved, letters compared
// without case (as Windows and macOS compare them): "Work", then "Work (2)".
class UniqueNames {
  public:
    void Reserve(std::string_view name);
    // `base` + `extension`, or base + " (n)" + extension when that is taken.
    [[nodiscard]] std::string Take(std::string_view base, std::string_view extension);

  private:
    std::set<std::string> taken_;  // lowered
};

}  // namespace quarvo::formats
