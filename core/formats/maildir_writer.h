// SPDX-License-Identifier: MIT
// The names of a Maildir's messages. A Maildir is a folder of three (cur,
// new, tmp) with one file per message; a message a reader has seen lives in
// cur/ under a name that ends in ":2," and its flags in ASCII order. Opera
// keeps a message's read and answered state in a form that is not public, so
// the only flag given is D for the drafts of Opera's drafts folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo::formats {

// Whether the system's file names can hold the ':' of a Maildir name.
// Windows' cannot: there the names are written without their info part,
// which Maildir allows and readers add when they first change a flag.
#ifdef _WIN32
inline constexpr bool kMaildirInfoInNames = false;
#else
inline constexpr bool kMaildirInfoInNames = true;
#endif

// "cur/1404139632.M17.quarvo:2,D": a name unique in the folder (the message's
// date, then a serial number), in cur/.
[[nodiscard]] std::string MaildirMessageName(std::int64_t date, std::uint64_t serial, bool draft);

}  // namespace quarvo::formats
