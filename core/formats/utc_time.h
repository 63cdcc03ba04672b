// SPDX-License-Identifier: MIT
// Seconds since 1970 as the calendar dates the notes writers print, in UTC,
// without the C library's gmtime (not thread-safe, and narrower on Windows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quarvo::formats {

struct UtcTime {
    int year, month, day, hour, minute, second;
};

// The date and time of `seconds` since 1970; nothing past the year 9999,
// which no format here can write.
[[nodiscard]] std::optional<UtcTime> UtcTimeOf(std::int64_t seconds) noexcept;

// "2015-12-07T07:52:00Z", as ISO 8601 and YAML write it.
[[nodiscard]] std::string Iso8601(const UtcTime& t);
// "20151207T075200Z", as ENEX writes it.
[[nodiscard]] std::string CompactIso8601(const UtcTime& t);
// "2015-12-07".
[[nodiscard]] std::string IsoDate(const UtcTime& t);
// "2015-12-07 07:52", for people.
[[nodiscard]] std::string ReadableTime(const UtcTime& t);

}  // namespace quarvo::formats
