// SPDX-License-Identifier: MIT
#include "mail_gen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "gen_random.h"

namespace quarvo::gen {
namespace {

constexpr std::array<std::string_view, 8> kPeople = {"Anna Andersen <anna@example.com>",
                                                     "=?UTF-8?B?QmrDuHJu?= <bjorn@example.org>",
                                                     "Chloe <chloe@example.net>",
                                                     "Dmitri <dmitri@example.com>",
                                                     "eve@example.org",
                                                     "Grete Haugen <grete@example.net>",
                                                     "Hiroshi <hiroshi@example.com>",
                                                     "list-owner@lists.example.org"};
constexpr std::array<std::string_view, 8> kWords = {"meeting", "tomorrow", "the",  "report",
                                                    "Opera",   "mail",     "from", "attached"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Thu", "Fri", "Sat", "Sun",
                                                       "Mon", "Tue", "Wed"};
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct Day {
    int year, month, day;
};

Day CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

// The date of message n: spread over 2005 to 2012, in store order.
std::int64_t DateOf(std::uint64_t n, std::uint64_t messages) {
    const std::int64_t first = 1104537600;  // 2005-01-01
    const std::int64_t span = 8LL * 365 * 86400;
    return first + static_cast<std::int64_t>(n * static_cast<std::uint64_t>(span) / (messages + 1));
}

std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string AsctimeOf(std::int64_t t) {
    const Day d = CivilFromDays(t / 86400);
    const int s = static_cast<int>(t % 86400);
    return Format("%s %s %2d %02d:%02d:%02d %d",
                  kWeekdays[static_cast<std::size_t>((t / 86400) % 7)].data(),
                  kMonths[static_cast<std::size_t>(d.month - 1)].data(), d.day, s / 3600,
                  s / 60 % 60, s % 60, d.year);
}

std::string HeaderDateOf(std::int64_t t) {
    const Day d = CivilFromDays(t / 86400);
    const int s = static_cast<int>(t % 86400);
    return Format("%s, %d %s %d %02d:%02d:%02d +0000",
                  kWeekdays[static_cast<std::size_t>((t / 86400) % 7)].data(), d.day,
                  kMonths[static_cast<std::size_t>(d.month - 1)].data(), d.year, s / 3600,
                  s / 60 % 60, s % 60);
}

}  // namespace

namespace {

std::string Message(std::uint64_t n, std::int64_t date, std::size_t body_bytes, Random& random) {
    const std::string_view from = random.Pick(kPeople);
    std::string m =
        "From " +
        std::string(from.substr(from.find('<') + 1, from.find('>') - from.find('<') - 1)) + " " +
        AsctimeOf(date + 60) + " " + std::to_string(n) + "\r\n";
    m += "X-Opera-Status: 05000000000000000" +
         Format("%06llx", static_cast<unsigned long long>(n)) +
         "53cd2d0f0000129a08020080000012790000000000000001\r\n";
    m += "X-Opera-Location: INBOX:" + std::to_string(n) + "\r\n";
    m += "Received: by 10.0.0.1 with SMTP id " + std::to_string(random.Next() % 1000000) +
         ";\r\n " + HeaderDateOf(date) + "\r\n";
    m += "From: " + std::string(from) + "\r\nTo: Ann <ann@example.org>\r\n";
    m += "Subject: " + std::string(random.Pick(kWords)) + " " + std::to_string(n) + "\r\n";
    m += "Date: " + HeaderDateOf(date) + "\r\n";
    m += "Message-ID: <" + std::to_string(n) + "." + std::to_string(random.Next() % 100000) +
         "@example.com>\r\n";
    m += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    const bool from_lines = random.Chance(2);
    while (m.size() < body_bytes) {
        std::string line;
        if (from_lines && random.Chance(10))
            line = random.Chance(50) ? "From the desk of Anna" : ">From the archive";
        while (line.size() < 60) line += std::string(random.Pick(kWords)) + " ";
        m += line + "\r\n";
    }
    if (random.Chance(1)) {
        std::string encoded;
        const std::size_t size = 100 * 1024 + random.Below(400 * 1024);
        for (std::size_t i = 0; i < size; i += 76) {
            for (int c = 0; c < 76; ++c)
                encoded += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"[random.Next() & 31];
            encoded += "\r\n";
        }
        m += "\r\n--attachment follows, as base64--\r\n" + encoded;
    }
    return m;
}

}  // namespace

std::string MakeMailMessage(std::uint64_t n, std::size_t body_bytes, Random& random) {
    return Message(n, DateOf(n, n), body_bytes, random);
}

std::uint64_t WriteMailFolder(const std::string& mail_folder, std::uint64_t messages,
                              std::size_t average_bytes, const Options& options) {
    namespace fs = std::filesystem;
    Random random(options.seed);
    fs::create_directories(fs::path(mail_folder) / "store" / "drafts");
    std::ofstream(fs::path(mail_folder) / "accounts.ini", std::ios::binary)
        << "\xEF\xBB\xBFOpera Preferences version 2.1\n\n[Accounts]\nCount=3\n\n"
           "[Account1]\nAccount Name=Home\nEmail=ann@example.org\nIncoming Protocol=POP\n\n"
           "[Account2]\nAccount Name=Work\nEmail=ann@example.com\nIncoming Protocol=IMAP\n\n"
           "[Account3]\nAccount Name=Lists\nEmail=ann.lists@example.org\nIncoming Protocol=IMAP\n";
    std::uint64_t bytes = 0;
    for (std::uint64_t n = 1; n <= messages; ++n) {
        const std::int64_t date = DateOf(n, messages);
        const Day d = CivilFromDays(date / 86400);
        // Sizes from a tenth to twice the average, as mail is.
        const std::size_t size = average_bytes / 10 + random.Below(average_bytes * 19 / 10 + 1);
        const std::string message = Message(n, date, size, random);
        fs::path folder = fs::path(mail_folder) / "store";
        if (n % 500 == 0) {
            folder /= "drafts";
        } else {
            folder = folder / ("account" + std::to_string(1 + random.Below(3))) /
                     std::to_string(d.year) / Format("%02d", d.month) / Format("%02d", d.day);
            fs::create_directories(folder);
        }
        std::ofstream out(folder / (std::to_string(n) + ".mbs"), std::ios::binary);
        out.write(message.data(), static_cast<std::streamsize>(message.size()));
        if (!out) throw std::runtime_error("cannot write " + (folder / std::to_string(n)).string());
        bytes += message.size();
    }
    return bytes;
}

}  // namespace quarvo::gen
