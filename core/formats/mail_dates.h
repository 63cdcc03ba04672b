// SPDX-License-Identifier: MIT
// The dates of mail: a message's Date header, which orders a mailbox, and the
// time on an mbox separator line ("From sender Mon Jul 21 15:09:03 2014").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarvo::formats {

// Seconds since 1970 (UTC) of a Date header's value ("Mon, 30 Jun 2014
// 21:47:12 +0800"), also in the forms RFC 5322 still reads (two-digit years,
// zone names, no seconds, comments) and the asctime form some mailers wrote.
// Nothing when it is not a date. Never fails.
[[nodiscard]] std::optional<std::int64_t> ParseMailDate(std::string_view text);

// An asctime time ("Mon Jul 21 15:09:03 2014"), taken as UTC. The weekday is
// not checked against the date.
[[nodiscard]] std::optional<std::int64_t> ParseAsctime(std::string_view text);

// The asctime form of a time (UTC): "Thu Jan  1 00:00:00 1970".
[[nodiscard]] std::string FormatAsctime(std::int64_t seconds);

}  // namespace quarvo::formats
