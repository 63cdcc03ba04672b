// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_reader.h"
#include "formats/opera_contacts_reader.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::ReadCsv;
using testing::TempFolder;

const std::string kHeader(kContactsCsvHeader);

// One contact entry as Opera writes it, ended by its ICON line.
std::string Entry(std::string_view lines) {
    return "#CONTACT\r\n" + std::string(lines) + "\tICON=Contact0\r\n\r\n";
}

std::string Csv(std::string_view contacts) {
    return ConvertContactsText(contacts).csv;
}

// The records after the header line.
std::string Records(std::string_view contacts) {
    return Csv(contacts).substr(kHeader.size());
}

TEST(ContactsCsv, HeaderNamesTheAddressBooksTwentyNineColumns) {
    const auto records = ReadCsv(kHeader);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(records->front().size(), 29u);
    EXPECT_EQ(records->front()[5], "E-mail Address");
    EXPECT_EQ(records->front()[28], "Notes");
}

TEST(ContactsCsv, WorkedExampleRecordByteForByte) {
    const std::string entry = Entry(
        "\tNAME=Sample Person\r\n"
        "\tDESCRIPTION=Met at the fair\x02\x02likes tea\r\n"
        "\tSHORT NAME=Sample\r\n"
        "\tACTIVE=YES\r\n"
        "\tMAIL=a1@example.org\x02\x02"
        "a2@example.org\x02\x02"
        "a3@example.org\r\n"
        "\tPHONE=555 123\r\n"
        "\tPOSTALADDRESS=1 Main Street\x02\x02Springfield\r\n");
    const ContactsConversion result =
        ConvertContactsText("Opera Hotlist version 2.0\r\n\r\n" + entry);
    EXPECT_EQ(result.csv.substr(kHeader.size()),
              ",,,\"Sample Person\",\"Sample\",a1@example.org,\"1 Main Street\r\nSpringfield\","
              ",,,,\"555 123\",\"\",,\"\",,,,,,\"\",,,,,,,,\"Met at the fair\r\nlikes tea\r\n"
              "Active=YES\r\na2@example.org\r\na3@example.org\r\n\"\r\n");
    EXPECT_EQ(result.named, 1);
}

TEST(ContactsCsv, EmptyOrMarkerlessInputGivesTheHeaderAloneAMissingOneNothing) {
    EXPECT_EQ(Csv(""), kHeader);
    EXPECT_EQ(Csv("\tICON=Contact0\r\n\tICON=Contact1\r\n"), kHeader);
    EXPECT_EQ(ConvertContactsText("no contacts at all").named, 0);

    TempFolder folder;
    const std::string out = folder.File("contacts.csv");
    PutBytes(out, "old");
    EXPECT_THROW((void)ConvertOperaContacts(folder.File("missing.adr"), out), EFOpenError);
    EXPECT_EQ(GetBytes(out), "old") << "a missing file is not an empty one";
    PutBytes(folder.File("empty.adr"), "");
    EXPECT_EQ(ConvertOperaContacts(folder.File("empty.adr"), out), 0);
    EXPECT_EQ(GetBytes(out), kHeader);
}

TEST(ContactsCsv, CountsOnlyNamedContactsAndStepsOncePerPass) {
    const std::string text =
        Entry("\tNAME=One\r\n") + Entry("\tMAIL=x@y\r\n") + Entry("\tNAME=Three\r\n");
    int steps = 0;
    const ContactsConversion result = ConvertContactsText(text, [&] { ++steps; });
    EXPECT_EQ(result.named, 2);
    const auto records = ReadCsv(result.csv);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->size(), 4u);
    EXPECT_EQ((*records)[2][3], "");  // the unnamed contact is written all the same
    // Three entries, plus the pass over the text after the last "ICON=".
    EXPECT_EQ(steps, 4);
}

TEST(ContactsCsv, NameAndUrlAreFoundInsideLongerKeys) {
    const auto records = ReadCsv(Csv(Entry("\tSHORT NAME=Shorty\r\n\tPICTUREURL=http://p/\r\n")));
    ASSERT_TRUE(records);
    const testing::CsvRecord& r = (*records)[1];
    EXPECT_EQ(r[3], "Shorty");
    EXPECT_EQ(r[4], "Shorty");
    EXPECT_EQ(r[14], "http://p/");
    EXPECT_EQ(r[20], "http://p/");
    EXPECT_EQ(ConvertContactsText(Entry("\tSHORT NAME=Shorty\r\n")).named, 1);
}

// Opera ends each contact with its ICON line, but a file that lacks one
// must not lose the contacts after it: a line that opens with '#' ends the
// entry too, and no key of the entry after it is taken.
TEST(ContactsCsv, AnEntryWithoutIconEndsAtTheNextMarkerLine) {
    struct Case {
        std::string text;
        std::vector<std::vector<std::string>> names_and_phones;
        int steps;
    } cases[] = {
        {"#CONTACT\r\n\tNAME=First\r\n\r\n" + Entry("\tNAME=Second\r\n\tPHONE=42\r\n") +
             Entry("\tNAME=Third\r\n"),
         {{"First", ""}, {"Second", "42"}, {"Third", ""}},
         4},
        {"#CONTACT\r\n\tNAME=A\r\n#CONTACT\r\n\tNAME=B\r\n#CONTACT\r\n\tPHONE=3\r\n",
         {{"A", ""}, {"B", ""}, {"", "3"}},
         3},
        // A folder's keys belong to no contact.
        {"#CONTACT\r\n\tPHONE=1\r\n\r\n#FOLDER\r\n\tNAME=Trash\r\n\r\n" + Entry("\tNAME=B\r\n"),
         {{"", "1"}, {"B", ""}},
         3},
        // A marker that does not open a line is part of a value, as before.
        {Entry("\tNAME=x #CONTACT y\r\n\tPHONE=#CONTACT\r\n"), {{"x #CONTACT y", "#CONTACT"}}, 2},
        {"\tICON=stray\r\n#CONTACT\r\n\tNAME=Last\r\n", {{"Last", ""}}, 1},
    };
    for (const Case& c : cases) {
        int steps = 0;
        const ContactsConversion result = ConvertContactsText(c.text, [&] { ++steps; });
        const auto records = ReadCsv(result.csv);
        ASSERT_TRUE(records) << c.text;
        std::vector<std::vector<std::string>> seen;
        for (std::size_t i = 1; i < records->size(); ++i)
            seen.push_back({(*records)[i][3], (*records)[i][11]});
        EXPECT_EQ(seen, c.names_and_phones) << c.text;
        EXPECT_EQ(steps, c.steps) << c.text;
    }
    // The file of the report: a contact without ICON among many with one.
    std::string text = "#CONTACT\r\n\tNAME=no icon\r\n\r\n";
    for (int i = 0; i < 295; ++i) text += Entry("\tNAME=n" + std::to_string(i) + "\r\n");
    EXPECT_EQ(ConvertContactsText(text).named, 296);
}

TEST(ContactsCsv, ActiveFlagIsYesOnlyForExactlyYes) {
    const auto notes = [](std::string_view active_line) {
        const auto records =
            ReadCsv(Csv(Entry(std::string("\tNAME=n\r\n") + std::string(active_line))));
        return records ? (*records)[1][28] : "(unreadable)";
    };
    EXPECT_EQ(notes("\tACTIVE=YES\r\n"), "\r\nActive=YES\r\n\r\n");
    EXPECT_EQ(notes("\tACTIVE=yes\r\n"), "\r\nActive=NO\r\n\r\n");
    EXPECT_EQ(notes("\tACTIVE=NO\r\n"), "\r\nActive=NO\r\n\r\n");
    EXPECT_EQ(notes("\tACTIVE=\r\n"), "\r\nActive=NO\r\n\r\n");
    EXPECT_EQ(notes(""), "\r\nActive=NO\r\n\r\n");
    EXPECT_EQ(notes("\tACTIVE=YES \r\n"), "\r\nActive=NO\r\n\r\n");
}

TEST(ContactsCsv, MailAddressesSplitBetweenColumnAndNotes) {
    EXPECT_TRUE(Records(Entry("\tMAIL=one@x\r\n")).starts_with(",,,\"\",\"\",one@x,\""));
    EXPECT_TRUE(Records(Entry("")).starts_with(",,,\"\",\"\",,\""));  // no mail: bare empty column
    const auto records =
        ReadCsv(Csv(Entry("\tMAIL=\x02\x02"
                          "a@x\x02\x02"
                          "b@x\r\n")));
    ASSERT_TRUE(records);
    EXPECT_EQ((*records)[1][5], "");
    EXPECT_EQ((*records)[1][28], "\r\nActive=NO\r\na@x\r\nb@x\r\n");
}

TEST(ContactsCsv, QuotesAreDoubledAndOddFirstAddressesQuoted) {
    const std::string text = Entry(
        "\tNAME=Say \"hi\", friend\r\n"
        "\tMAIL=odd,\"addr\"@x\x02\x02second\"@x\r\n"
        "\tDESCRIPTION=a \"quote\"\r\n");
    const std::string records = Records(text);
    EXPECT_NE(records.find("\"Say \"\"hi\"\", friend\""), std::string::npos);
    EXPECT_NE(records.find(",\"odd,\"\"addr\"\"@x\","), std::string::npos);
    const auto parsed = ReadCsv(Csv(text));
    ASSERT_TRUE(parsed) << "a standard reader could not parse the record";
    ASSERT_EQ((*parsed)[1].size(), 29u);
    EXPECT_EQ((*parsed)[1][3], "Say \"hi\", friend");
    EXPECT_EQ((*parsed)[1][5], "odd,\"addr\"@x");
    EXPECT_EQ((*parsed)[1][28], "a \"quote\"\r\nActive=NO\r\nsecond\"@x\r\n");
}

// The first address is found sixteen bytes at a time: put the pair that
// ends it and the bytes that force quotes on either side of every block
// edge, in a value that ends the text or has more text after it.
TEST(ContactsCsv, FirstAddressIsCutAndQuotedAlikeWhereverItsBytesFall) {
    for (std::size_t length = 0; length <= 36; ++length) {
        // (A line feed cannot stand in a value: it ends the line.)
        for (const char odd : {'\0', ',', '"', '\r'}) {
            for (std::size_t odd_at = 0; odd_at <= length; odd_at += odd == '\0' ? 99 : 1) {
                std::string first(length, 'a');
                if (odd != '\0' && odd_at < length) first[odd_at] = odd;
                for (const bool more : {false, true}) {
                    const std::string mail = first + (more ? std::string("\x02\x02z@y") : "");
                    for (const bool at_end : {false, true}) {
                        const std::string text =
                            "#CONTACT\r\n\tMAIL=" + mail + (at_end ? "" : "\r\n\tICON=0\r\n\r\n");
                        const auto records = ReadCsv(Csv(text));
                        ASSERT_TRUE(records) << ::testing::PrintToString(text);
                        ASSERT_EQ(records->size(), 2u);
                        EXPECT_EQ((*records)[1][5], first) << ::testing::PrintToString(text);
                        const bool quoted = first.find_first_of(",\"\r\n") != std::string::npos;
                        const std::size_t field = Csv(text).find(",,,\"\",\"\",") + 9;
                        EXPECT_EQ(Csv(text)[field] == '"', quoted)
                            << ::testing::PrintToString(text);
                    }
                }
            }
        }
    }
}

TEST(ContactsCsv, MarkerBecomesABreakOnlyInAddressDescriptionAndFurtherMail) {
    const auto records =
        ReadCsv(Csv(Entry("\tNAME=N\x02\x02m\r\n\tPHONE=1\x02\x02"
                          "2\r\n\tPOSTALADDRESS=street\x02\x02\x02town\r\n"
                          "\tURL=u\x02\x02v\r\n\tFAX=f\x02\x02g\r\n\tSHORT NAME=s\x02\x02t\r\n")));
    ASSERT_TRUE(records);
    const testing::CsvRecord& r = (*records)[1];
    EXPECT_EQ(r[3], "N\x02\x02m");
    EXPECT_EQ(r[4], "s\x02\x02t");
    EXPECT_EQ(r[6], "street\r\n\x02town");
    EXPECT_EQ(r[11],
              "1\x02\x02"
              "2");
    EXPECT_EQ(r[12], "f\x02\x02g");
    EXPECT_EQ(r[14], "u\x02\x02v");
}

TEST(ContactsCsv, TrailingBlanksAndBytesPassUnchanged) {
    const auto records =
        ReadCsv(Csv(Entry("\tNAME=\xE5\xBC\xA0\xE4\xB8\x89  \r\n\tPHONE= 1 \r\n")));
    ASSERT_TRUE(records);
    EXPECT_EQ((*records)[1][3], "\xE5\xBC\xA0\xE4\xB8\x89  ");
    EXPECT_EQ((*records)[1][11], " 1 ");
}

TEST(ContactsCsv, LfFilesConvertLikeTheirCrLfTwins) {
    const std::string crlf =
        "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n" +
        Entry(
            "\tID=11\r\n\tNAME=A\r\n\tMAIL=a@x\x02\x02"
            "b@x\r\n") +
        Entry("\tID=12\r\n\tNAME=B\r\n\tACTIVE=YES\r\n");
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf.push_back(c);
    EXPECT_EQ(Csv(lf), Csv(crlf));
    EXPECT_EQ(ConvertContactsText(lf).named, 2);
}

TEST(ContactsCsv, AStrayIconNeverWritesAContactTwice) {
    const std::string header_with_icon = "Opera Hotlist version 2.0\r\n\tICON=stray\r\n\r\n";
    const std::string text = header_with_icon + Entry("\tNAME=A\r\n") + "\tICON=between\r\n" +
                             Entry("\tNAME=B\r\n\tDESCRIPTION=has ICON= inside\r\n") +
                             Entry("\tNAME=C\r\n");
    const ContactsConversion result = ConvertContactsText(text);
    const auto records = ReadCsv(result.csv);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 4u);
    EXPECT_EQ((*records)[1][3], "A");
    EXPECT_EQ((*records)[2][3], "B");
    EXPECT_EQ((*records)[2][28], "has \r\nActive=NO\r\n\r\n");  // the entry ends at the inner ICON=
    EXPECT_EQ((*records)[3][3], "C");
    EXPECT_EQ(result.named, 3);
}

// Other contacts writers are fed these records, so each key's value must
// reach its own field, byte for byte, from an LF file as from its CR LF twin.
TEST(ForEachOperaContact, GivesEachKeysValueInItsOwnFieldAsTheConversionReadsIt) {
    const std::string crlf =
        Entry(
            "\tNAME=n\r\n\tURL=u\r\n\tDESCRIPTION=d\x02\x02t\r\n\tSHORT NAME=s\r\n"
            "\tACTIVE=YES\r\n\tMAIL=m1\x02\x02m2\r\n\tPHONE=p\r\n\tFAX=f\r\n"
            "\tPOSTALADDRESS=a\r\n\tPICTUREURL=i\r\n") +
        Entry("\tNAME=second\r\n");
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf.push_back(c);
    const std::vector<std::vector<std::string>> expected{
        {"n", "u", "d\x02\x02t", "s", "YES", "m1\x02\x02m2", "p", "f", "a", "i"},
        {"second", "", "", "", "", "", "", "", "", ""}};
    for (const std::string& text : {crlf, lf}) {
        std::vector<std::vector<std::string>> seen;
        formats::ForEachOperaContact(text, [&](const model::Contact& c) {
            seen.push_back({std::string(c.name), std::string(c.url), std::string(c.description),
                            std::string(c.short_name), std::string(c.active), std::string(c.mail),
                            std::string(c.phone), std::string(c.fax), std::string(c.postal_address),
                            std::string(c.picture_url)});
        });
        EXPECT_EQ(seen, expected);
    }
}

TEST(ConvertOperaContacts, AnUnreadableInputLeavesTheCsvUntouched) {
    TempFolder folder;
    const std::string out = folder.File("contacts.csv");
    PutBytes(out, "previous");
    EXPECT_THROW(ConvertOperaContacts(folder.path().string(), out), EFOpenError);
    EXPECT_EQ(GetBytes(out), "previous");
}

TEST(ConvertOperaContacts, WritesTheCsvAndReturnsTheNamedCount) {
    TempFolder folder;
    PutBytes(folder.File("contacts.adr"), Entry("\tNAME=A\r\n") + Entry("\tNAME=B\r\n"));
    int steps = 0;
    EXPECT_EQ(
        ConvertOperaContacts(folder.File("contacts.adr"), folder.File("c.csv"), [&] { ++steps; }),
        2);
    EXPECT_EQ(steps, 3);
    const auto records = ReadCsv(GetBytes(folder.File("c.csv")));
    ASSERT_TRUE(records);
    EXPECT_EQ(records->size(), 3u);
    EXPECT_THROW(ConvertOperaContacts(folder.File("contacts.adr"), folder.File("none/c.csv")),
                 EFCreateError);
}

}  // namespace
}  // namespace quarvo
