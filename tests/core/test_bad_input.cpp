// SPDX-License-Identifier: MIT
// Input no Opera ever wrote: random bytes, zero bytes, nothing but markers, a
// 100 MB value without a line break, a million empty entries, CR-only line
// ends. Each converts without crashing, into output whose structure still
// holds and whose size stays proportional to the input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "csv_reader.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"

namespace quarvo {
namespace {

using testing::ReadCsv;

constexpr std::size_t kMiB = 1024 * 1024;

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out.append(piece);
    return out;
}

// Deterministic bytes (splitmix64), so a failure can be replayed.
class Bytes {
  public:
    explicit Bytes(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::string Raw(std::size_t size) {
        std::string out(size, '\0');
        for (char& c : out) c = static_cast<char>(Next());
        return out;
    }
    // Pieces of Opera syntax in random order: far more likely than raw bytes
    // to reach every branch of the converters.
    std::string Tokens(std::size_t count) {
        static constexpr std::string_view kPieces[] = {"#CONTACT",
                                                       "ICON=",
                                                       "NAME=",
                                                       "SHORT NAME=",
                                                       "MAIL=",
                                                       "ACTIVE=YES",
                                                       "DESCRIPTION=",
                                                       "POSTALADDRESS=",
                                                       "\x02\x02",
                                                       "\x02",
                                                       "\r\n",
                                                       "\r\n\r\n",
                                                       "\n",
                                                       "\r",
                                                       "\"",
                                                       ",",
                                                       "#URL",
                                                       "#FOLDER",
                                                       "#SEPERATOR",
                                                       "-",
                                                       "URL=",
                                                       "CREATED=",
                                                       "VISITED=",
                                                       "<",
                                                       "&",
                                                       "Opera Hotlist version 2.0",
                                                       std::string_view("\0", 1),
                                                       "\t",
                                                       "x",
                                                       "Ødegård"};
        std::string out;
        for (std::size_t i = 0; i < count; ++i)
            out.append(kPieces[Next() % (sizeof kPieces / sizeof kPieces[0])]);
        return out;
    }

  private:
    std::uint64_t state_;
};

// The CSV reads back as a header and `records` records of 29 fields, and
// `named` of them have a name.
void ExpectCsvShape(const ContactsConversion& converted, std::size_t records) {
    ASSERT_TRUE(converted.csv.starts_with(kContactsCsvHeader));
    const auto parsed = ReadCsv(converted.csv);
    ASSERT_TRUE(parsed.has_value()) << "the CSV does not parse";
    ASSERT_EQ(parsed->size(), records + 1);
    std::int32_t named = 0;
    for (std::size_t i = 0; i < parsed->size(); ++i) {
        ASSERT_EQ((*parsed)[i].size(), 29u) << "record " << i;
        if (i > 0 && !(*parsed)[i][3].empty()) ++named;
    }
    EXPECT_EQ(converted.named, named);
}

std::size_t CountOf(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Every bookmark, separator and folder shows as its line; escaping keeps the
// values from adding any tag.
void ExpectHtmlShape(const std::optional<BookmarksConversion>& converted, std::size_t bookmarks,
                     std::size_t separators, std::size_t folders, std::size_t folder_ends) {
    ASSERT_TRUE(converted.has_value());
    const std::string& html = converted->html;
    EXPECT_TRUE(html.starts_with(kBookmarkPrologue));
    EXPECT_TRUE(html.ends_with(kBookmarkEpilogue));
    EXPECT_EQ(converted->bookmarks, static_cast<std::int32_t>(bookmarks));
    EXPECT_EQ(CountOf(html, "<DT><A "), bookmarks + separators);
    EXPECT_EQ(CountOf(html, "<DT><H3 "), folders);
    EXPECT_EQ(CountOf(html, "</DL><p>\r\n"), folder_ends + 1);
}

// Output grows at most by a fixed factor over the input: quoting doubles a
// double quote, escaping makes "&quot;" of one; an empty entry becomes a
// whole record.
void ExpectProportional(std::size_t output, std::size_t input, std::size_t factor) {
    EXPECT_LE(output, factor * input + 4096) << "output " << output << " for input " << input;
}

TEST(BadInput, RandomBytes) {
    Bytes bytes(1);
    for (const std::size_t size : {1u, 2u, 7u, 64u, 4096u, 65536u, 1048576u}) {
        SCOPED_TRACE(size);
        const std::string text = bytes.Raw(size);
        const ContactsConversion contacts = ConvertContactsText(text);
        ASSERT_TRUE(ReadCsv(contacts.csv).has_value());
        ExpectProportional(contacts.csv.size(), size, 8);
        const auto hotlist = ConvertHotlistText(text);
        if (hotlist) ExpectProportional(hotlist->html.size(), size, 8);
    }
}

TEST(BadInput, RandomOperaPieces) {
    Bytes bytes(2);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const std::string text = bytes.Tokens(1 + bytes.Next() % 400);
        const ContactsConversion contacts = ConvertContactsText(text);
        const auto parsed = ReadCsv(contacts.csv);
        ASSERT_TRUE(parsed.has_value());
        for (const auto& record : *parsed) ASSERT_EQ(record.size(), 29u);
        const auto hotlist = ConvertHotlistText(text);
        if (hotlist) {
            EXPECT_TRUE(hotlist->html.ends_with(kBookmarkEpilogue));
            EXPECT_EQ(CountOf(hotlist->html, "<DT><A "),
                      static_cast<std::size_t>(hotlist->bookmarks) +
                          CountOf(hotlist->html, ">--------------------</A>"));
        }
    }
}

TEST(BadInput, ZeroBytes) {
    const std::string zeros(kMiB, '\0');
    const ContactsConversion contacts = ConvertContactsText(zeros);
    EXPECT_EQ(contacts.csv, kContactsCsvHeader);
    EXPECT_EQ(contacts.named, 0);
    ExpectHtmlShape(ConvertHotlistText(zeros), 0, 0, 0, 0);
    EXPECT_EQ(ConvertHotlistText(zeros)->html.size(), 201u);

    // Zero bytes inside values are ordinary bytes and pass through.
    const std::string nul(1, '\0');
    const std::string contact = "#CONTACT\r\n\tNAME=a" + nul + "b\r\n\tICON=0\r\n";
    const ContactsConversion one = ConvertContactsText(contact);
    ExpectCsvShape(one, 1);
    EXPECT_NE(one.csv.find("\"a" + nul + "b\""), std::string::npos);
}

TEST(BadInput, OnlyMarkers) {
    constexpr std::size_t kTimes = 100000;
    // Entries without "ICON=" run on to the end: one entry, no name.
    ExpectCsvShape(ConvertContactsText(Repeat("#CONTACT", kTimes)), 1);
    // "ICON=" without any "#CONTACT" ends every pass at once.
    ExpectCsvShape(ConvertContactsText(Repeat("ICON=", kTimes)), 0);
    ExpectCsvShape(ConvertContactsText(Repeat("#CONTACTICON=", kTimes)), kTimes);
    ExpectCsvShape(ConvertContactsText(Repeat("\x02", 2 * kTimes)), 0);
    ExpectCsvShape(ConvertContactsText(Repeat("NAME=", kTimes)), 0);

    // Without blank lines a hotlist is one entry.
    ExpectHtmlShape(ConvertHotlistText(Repeat("#URL", kTimes)), 1, 0, 0, 0);
    ExpectHtmlShape(ConvertHotlistText(Repeat("#URL\r\n\r\n", kTimes)), kTimes, 0, 0, 0);
    ExpectHtmlShape(ConvertHotlistText(Repeat("#FOLDER\r\n\r\n", kTimes)), 0, 0, kTimes, 0);
    ExpectHtmlShape(ConvertHotlistText(Repeat("#SEPERATOR\r\n\r\n", kTimes)), 0, kTimes, 0, 0);
    ExpectHtmlShape(ConvertHotlistText(Repeat("-\r\n\r\n", kTimes)), 0, 0, 0, kTimes);
    ExpectHtmlShape(ConvertHotlistText(Repeat("Opera Hotlist version 2.0\r\n\r\n", kTimes)), 0, 0,
                    0, 0);
    EXPECT_FALSE(ConvertHotlistText(Repeat("Opera Hotlist version", kTimes)).has_value());
}

TEST(BadInput, HundredMegabyteValueWithoutLineBreak) {
    const std::string value(100 * kMiB, 'v');
    {
        const std::string text = "#CONTACT\r\n\tNAME=" + value;
        const ContactsConversion converted = ConvertContactsText(text);
        EXPECT_EQ(converted.named, 1);
        // Name runs to the end of the entry; the other keys are absent.
        const std::string record_start = ",,,\"" + value + "\",\"\",,\"\"";
        EXPECT_EQ(
            converted.csv.compare(kContactsCsvHeader.size(), record_start.size(), record_start), 0);
        ExpectProportional(converted.csv.size(), text.size(), 1);
    }
    {
        const std::string text = "#URL\r\n\tURL=" + value;
        const auto converted = ConvertHotlistText(text);
        ASSERT_TRUE(converted.has_value());
        EXPECT_EQ(converted->bookmarks, 1);
        EXPECT_EQ(converted->html.find("<DT><A HREF=\"" + value + "\" ADD_DATE=\"\""),
                  kBookmarkPrologue.size());
        ExpectProportional(converted->html.size(), text.size(), 1);
    }
    {
        // A value made of nothing but bytes that need escaping grows by the
        // escape's length, and no more.
        const std::string quotes(10 * kMiB, '"');
        const auto converted = ConvertHotlistText("#URL\r\n\tNAME=" + quotes);
        ASSERT_TRUE(converted.has_value());
        ExpectProportional(converted->html.size(), quotes.size(), 6);
        const ContactsConversion csv = ConvertContactsText("#CONTACT\r\n\tNAME=" + quotes);
        ExpectCsvShape(csv, 1);
        ExpectProportional(csv.csv.size(), quotes.size(), 2);
    }
}

TEST(BadInput, MillionEmptyEntries) {
    constexpr std::size_t kMillion = 1000000;
    {
        std::size_t steps = 0;
        const ContactsConversion converted =
            ConvertContactsText(Repeat("#CONTACT\r\nICON=\r\n", kMillion), [&] { ++steps; });
        EXPECT_EQ(steps, kMillion + 1);  // the text after the last "ICON=" takes a pass too
        EXPECT_EQ(converted.named, 0);
        // Every record is that of an empty contact, which reads as 29 fields.
        const ContactsConversion one = ConvertContactsText("#CONTACT\r\nICON=");
        ExpectCsvShape(one, 1);
        const std::string_view empty_record =
            std::string_view(one.csv).substr(kContactsCsvHeader.size());
        EXPECT_EQ(converted.csv.size(), kContactsCsvHeader.size() + kMillion * empty_record.size());
        EXPECT_EQ(CountOf(converted.csv, empty_record), kMillion);
    }
    {
        std::size_t steps = 0;
        const auto converted =
            ConvertHotlistText(Repeat("#URL\r\n\r\n", kMillion), [&] { ++steps; });
        EXPECT_EQ(steps, kMillion);
        ExpectHtmlShape(converted, kMillion, 0, 0, 0);
        EXPECT_EQ(
            CountOf(converted->html,
                    "<DT><A HREF=\"\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\"></A>\r\n"),
            kMillion);
    }
    // Blank lines only: a million empty entries that produce nothing.
    ExpectHtmlShape(ConvertHotlistText(Repeat("\r\n\r\n", kMillion)), 0, 0, 0, 0);
    ExpectCsvShape(ConvertContactsText(Repeat("\r\n", kMillion)), 0);
}

TEST(BadInput, CarriageReturnOnlyLineEnds) {
    // Classic Mac line ends: a file with CR and no LF anywhere is read as its
    // CR LF twin, so its values end at their line ends.
    constexpr std::size_t kEntries = 1000;
    const std::string contact =
        "#CONTACT\r\tNAME=Anna\r\tMAIL=anna@example.org\r\tDESCRIPTION=a\x02\x02z\r\tICON=0\r\r";
    const ContactsConversion converted = ConvertContactsText(Repeat(contact, kEntries));
    ExpectCsvShape(converted, kEntries);
    EXPECT_EQ(converted.named, static_cast<std::int32_t>(kEntries));
    const std::string twin =
        "#CONTACT\r\n\tNAME=Anna\r\n\tMAIL=anna@example.org\r\n\t"
        "DESCRIPTION=a\x02\x02z\r\n\tICON=0\r\n\r\n";
    EXPECT_EQ(converted.csv, ConvertContactsText(Repeat(twin, kEntries)).csv);

    const std::string hotlist =
        "Opera Hotlist version 2.0\r\r" +
        Repeat("#FOLDER\r\tNAME=F\r\r#URL\r\tNAME=N\r\tURL=http://example.org/\r\r-\r\r", kEntries);
    ExpectHtmlShape(ConvertHotlistText(hotlist), kEntries, 0, kEntries, kEntries);
}

}  // namespace
}  // namespace quarvo
