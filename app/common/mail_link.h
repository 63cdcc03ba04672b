// SPDX-License-Identifier: MIT
// The about window's "mailto:" link to the maker.
#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// "mailto:", the address, "?subject=Quarvo: ", nothing encoded: the mail
// program receives the address exactly as the window shows it.
[[nodiscard]] std::string MailLink(std::string_view address);

}  // namespace quarvo
