// SPDX-License-Identifier: MIT
#include "formats/mail_dates.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <vector>

namespace quarvo::formats {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Thu", "Fri", "Sat", "Sun",
                                                       "Mon", "Tue", "Wed"};  // from 1970-01-01

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

int MonthOf(std::string_view word) {
    if (word.size() < 3) return 0;
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (Lower(word[0]) == kMonths[i][0] && Lower(word[1]) == kMonths[i][1] &&
            Lower(word[2]) == kMonths[i][2])
            return static_cast<int>(i) + 1;
    return 0;
}

std::optional<int> Number(std::string_view digits) {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// "hh:mm" or "hh:mm:ss" as seconds into the day.
std::optional<int> TimeOfDay(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        const std::size_t colon = std::min(text.find(':'), text.size());
        const std::optional<int> part = Number(text.substr(0, colon));
        if (!part || colon == 0 || colon > 2) return std::nullopt;
        parts[count++] = *part;
        if (colon == text.size()) break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 60) return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

// A zone's offset from UTC in seconds; RFC 5322 reads unknown names as UTC.
std::optional<int> ZoneOffset(std::string_view word) {
    if ((word[0] == '+' || word[0] == '-') && word.size() == 5) {
        const std::optional<int> hhmm = Number(word.substr(1));
        if (!hhmm || *hhmm % 100 > 59) return std::nullopt;
        const int offset = (*hhmm / 100) * 3600 + (*hhmm % 100) * 60;
        return word[0] == '-' ? -offset : offset;
    }
    static constexpr std::pair<std::string_view, int> kNames[] = {
        {"EST", -5}, {"EDT", -4}, {"CST", -6}, {"CDT", -5},
        {"MST", -7}, {"MDT", -6}, {"PST", -8}, {"PDT", -7}};
    for (const auto& [name, hours] : kNames)
        if (word.size() == 3 && Lower(word[0]) == Lower(name[0]) &&
            Lower(word[1]) == Lower(name[1]) && Lower(word[2]) == Lower(name[2]))
            return hours * 3600;
    return 0;
}

// The words of a date: runs between blanks and commas, comments left out.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    int comment_depth = 0;
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const bool apart = c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n' ||
                           c == '(' || c == ')' || comment_depth > 0;
        if (apart && start != std::string_view::npos) {
            words.push_back(text.substr(start, i - start));
            start = std::string_view::npos;
        }
        if (c == '(') ++comment_depth;
        if (c == ')' && comment_depth > 0) --comment_depth;
        if (!apart && start == std::string_view::npos) start = i;
    }
    return words;
}

std::optional<std::int64_t> Seconds(int year, int month, int day, int time, int offset) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return std::nullopt;
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
           time - offset;
}

}  // namespace

std::optional<std::int64_t> ParseMailDate(std::string_view text) {
    int month = 0;
    std::optional<int> time;
    int offset = 0;
    std::vector<std::string_view> numbers;
    for (const std::string_view word : Words(text)) {
        if (IsDigit(word[0]) && word.find(':') != std::string_view::npos) {
            if (time) return std::nullopt;
            time = TimeOfDay(word);
            if (!time) return std::nullopt;
        } else if (IsDigit(word[0])) {
            numbers.push_back(word);
        } else if (word[0] == '+' || word[0] == '-') {
            const std::optional<int> zone = ZoneOffset(word);
            if (!zone) return std::nullopt;
            offset = *zone;
        } else if (IsLetter(word[0]) && month == 0 && MonthOf(word) != 0 && time == std::nullopt) {
            month = MonthOf(word);
        } else if (IsLetter(word[0]) && time) {
            offset = *ZoneOffset(word);
        }
    }
    if (month == 0 || !time || numbers.size() != 2) return std::nullopt;
    // The year is the number of more than two digits; of two short ones, the second.
    const bool year_first = numbers[0].size() > 2 && numbers[1].size() <= 2;
    const std::optional<int> day = Number(numbers[year_first ? 1 : 0]);
    const std::string_view year_digits = numbers[year_first ? 0 : 1];
    std::optional<int> year = Number(year_digits);
    if (!day || !year || year_digits.size() > 4) return std::nullopt;
    if (year_digits.size() <= 2) *year += *year < 50 ? 2000 : 1900;
    if (year_digits.size() == 3) *year += 1900;
    return Seconds(*year, month, *day, *time, offset);
}

std::optional<std::int64_t> ParseAsctime(std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    if (words.size() != 5 || words[0].size() != 3 || words[1].size() != 3) return std::nullopt;
    const int month = MonthOf(words[1]);
    const std::optional<int> day = Number(words[2]);
    const std::optional<int> time = TimeOfDay(words[3]);
    const std::optional<int> year = Number(words[4]);
    if (month == 0 || !day || !time || !year || words[4].size() != 4) return std::nullopt;
    return Seconds(*year, month, *day, *time, 0);
}

std::string FormatAsctime(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil from days (the inverse of DaysFromCivil).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2);
    const std::string_view weekday = kWeekdays[static_cast<std::size_t>(((days % 7) + 7) % 7)];
    std::string month_name(kMonths[month - 1]);
    month_name[0] = static_cast<char>(month_name[0] - 'a' + 'A');
    char text[64];
    std::snprintf(text, sizeof text, "%.*s %s %2u %02d:%02d:%02d %lld",
                  static_cast<int>(weekday.size()), weekday.data(), month_name.c_str(), day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60), static_cast<long long>(year));
    return text;
}

}  // namespace quarvo::formats
