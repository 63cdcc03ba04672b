// SPDX-License-Identifier: MIT
#include "formats/utc_time.h"

#include <cstdio>

namespace quarvo::formats {

std::optional<UtcTime> UtcTimeOf(std::int64_t seconds) noexcept {
    constexpr std::int64_t kDay = 86400;
    // 10000-01-01 is 253402300800 seconds after 1970.
    if (seconds < 0 || seconds >= 253402300800) return std::nullopt;
    const std::int64_t days = seconds / kDay;
    const std::int64_t rest = seconds % kDay;
    // Days to a civil date (the proleptic Gregorian calendar), counted from
    // 0000-03-01 so that the leap day ends a year.
    const std::int64_t z = days + 719468;
    const std::int64_t era = z / 146097;
    const std::int64_t day_of_era = z - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_from_march = (5 * day_of_year + 2) / 153;
    const int day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
    const int month =
        static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
    const int year = static_cast<int>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
    return UtcTime{year,
                   month,
                   day,
                   static_cast<int>(rest / 3600),
                   static_cast<int>(rest / 60 % 60),
                   static_cast<int>(rest % 60)};
}

namespace {

template <class... Numbers>
std::string Printed(const char* format, Numbers... numbers) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, format, numbers...);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

std::string Iso8601(const UtcTime& t) {
    return Printed("%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute,
                   t.second);
}

std::string CompactIso8601(const UtcTime& t) {
    return Printed("%04d%02d%02dT%02d%02d%02dZ", t.year, t.month, t.day, t.hour, t.minute,
                   t.second);
}

std::string IsoDate(const UtcTime& t) {
    return Printed("%04d-%02d-%02d", t.year, t.month, t.day);
}

std::string ReadableTime(const UtcTime& t) {
    return Printed("%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
}

}  // namespace quarvo::formats
