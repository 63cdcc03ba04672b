// SPDX-License-Identifier: MIT
// The contacts outputs beside the address book's CSV: vCard, the other CSV
// layouts and the encodings, on the hand-made file with every field and on
// the real Opera contacts files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "csv_reader.h"
#include "formats/contact_fields.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_reader.h"
#include "formats/vcard_writer.h"
#include "quarvo/contacts.h"
#include "quarvo/contacts_export.h"
#include "quarvo/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

const std::string kData = QUARVO_TEST_DATA_DIR;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

ContactsExport Export(std::string_view text, bool vcard, ContactsExportOptions options = {}) {
    return ExportContactsText(text, vcard, options);
}

// The address book's layout through the line reader, the BOM asked for so
// that the tuned converter is not chosen, and taken off again.
std::string WabThroughLineReader(std::string_view text) {
    const std::string csv = Export(text, false, {.encoding = OutputEncoding::kUtf8Bom}).text;
    return csv.starts_with(kBom) ? csv.substr(kBom.size()) : "no BOM: " + csv;
}

// The tuned reader's records written by the table layout of the address book.
std::string WabThroughTable(std::string_view text) {
    std::string csv;
    formats::AppendCsvHeader(csv, formats::kWabLayout);
    formats::ForEachOperaContact(text, [&](const model::Contact& contact) {
        formats::AppendCsvRecord(csv, formats::kWabLayout, contact);
    });
    return csv;
}

TEST(ContactsExport, TableLayoutOfTheAddressBookGivesTheTunedBytes) {
    EXPECT_EQ(WabThroughTable(""), kContactsCsvHeader);
    const std::string entries[] = {
        "\tNAME=A\"q\"\n\tSHORT NAME=s\n\tMAIL=x,y@h\x02\x02z@h\x02\x02\x02w@h\n"
        "\tDESCRIPTION=d\x02\x02\x02\x02 \x02 e \n\tACTIVE=YES\n\tPOSTALADDRESS=p\x02\x02\x02q\n"
        "\tPHONE=1\x02\x02 2\n\tFAX=\"\n\tURL=u\n\tPICTUREURL=v\n",
        "\tNAME=B\n\tMAIL=\x02\x02m@h\n\tACTIVE=yes\n",
        "\tNAME=C\n\tMAIL=a\"b@h\n",
        "\tNAME=\n",
    };
    for (const std::string& entry : entries) {
        const std::string text = "#CONTACT\n" + entry + "\tICON=Contact0\n\n";
        const std::string tuned = ConvertContactsText(text).csv;
        EXPECT_EQ(WabThroughTable(text), tuned) << entry;
        EXPECT_EQ(WabThroughLineReader(text), tuned) << entry;
    }
    // Where the line reader reads otherwise (a key inside a value, an entry
    // without its end), the table still gives the tuned bytes of the same records.
    const std::string odd = "#CONTACT\r\n\tSHORT NAME=x\r\n#CONTACT\r\n\tNAME=y\"\r\n";
    EXPECT_EQ(WabThroughTable(odd), ConvertContactsText(odd).csv);
    for (const fs::path& file : {fs::path(QUARVO_CORPUS_DIR) / "opera-config__contacts.adr",
                                 fs::path(QUARVO_CORPUS_DIR) / "opera-config__contacts.v1.adr"}) {
        if (!fs::exists(file)) GTEST_SKIP() << "no corpus at " << QUARVO_CORPUS_DIR;
        const std::string text = ReadWholeFile(file.string());
        const std::string tuned = ConvertContactsText(text).csv;
        EXPECT_EQ(WabThroughTable(text), tuned) << file;
        EXPECT_EQ(WabThroughLineReader(text), tuned) << file;
    }
}

TEST(ContactsExport, GoldenFilesOfTheHandMadeContacts) {
    struct Case {
        const char* golden;
        bool vcard;
        ContactsExportOptions options;
    } cases[] = {
        {"every_field.outlook.csv", false, {.layout = ContactsCsvLayout::kOutlook}},
        {"every_field.thunderbird.csv", false, {.layout = ContactsCsvLayout::kThunderbird}},
        {"every_field.google.csv", false, {.layout = ContactsCsvLayout::kGoogle}},
        {"every_field.30.vcf", true, {}},
        {"every_field.21.vcf", true, {.vcard = ContactsVcardVersion::k21}},
        {"every_field.outlook-ansi.csv",
         false,
         {.layout = ContactsCsvLayout::kOutlook, .encoding = OutputEncoding::kWindows1252}},
        {"every_field.21-ansi.vcf",
         true,
         {.vcard = ContactsVcardVersion::k21, .encoding = OutputEncoding::kWindows1252}},
    };
    const std::string text = ReadWholeFile(kData + "/contacts_every_field.adr");
    for (const Case& c : cases)
        EXPECT_EQ(Export(text, c.vcard, c.options).text,
                  ReadWholeFile(kData + "/golden/" + c.golden))
            << c.golden;
}

TEST(ContactsExport, CardsLeaveTheTrashOutUnlessAskedAndCountNamedContacts) {
    const std::string text =
        "#CONTACT\n\tNAME=Kept\n\n#FOLDER\n\tTRASH FOLDER=YES\n\n"
        "#CONTACT\n\tNAME=Gone\n\n#CONTACT\n\tMAIL=a@h\n\n-\n";
    const ContactsExport cards = Export(text, true);
    EXPECT_EQ(cards.named, 1);
    EXPECT_EQ(cards.text.find("Gone"), std::string::npos);
    const ContactsExport all = Export(text, true, {.keep_trash = true});
    EXPECT_EQ(all.named, 2);
    EXPECT_NE(all.text.find("FN:Gone\r\n"), std::string::npos);
    EXPECT_EQ(Export(text, false, {.layout = ContactsCsvLayout::kGoogle}).named, 2);
}

TEST(ContactsExport, AnsiNamesEveryCharacterItWritesAsAQuestionMark) {
    const ContactsExport done = Export(
        "#CONTACT\n\tNAME=Łukasz\n\tDESCRIPTION=€ ok, ł Ł 你\n\n#CONTACT\n\tNAME=Zoë\n", false,
        {.layout = ContactsCsvLayout::kOutlook, .encoding = OutputEncoding::kWindows1252});
    EXPECT_NE(done.text.find("?ukasz,,,,,,,,,\"\x80 ok, ? ? ?\"\r\nZo\xEB,"), std::string::npos)
        << done.text;
    ASSERT_EQ(done.replaced.size(), 1u);
    EXPECT_EQ(done.replaced[0], "Łukasz: 'Ł' (U+0141), 'ł' (U+0142), '你' (U+4F60)");
}

TEST(ContactsExport, EightBitFilesAreReadAsWindows1252) {
    struct Case {
        std::string text, name;
    } cases[] = {
        {"#CONTACT\n\tNAME=Jos\xE9\n", "Jos\xC3\xA9"},
        {"Options: encoding = latin1\n\n#CONTACT\n\tNAME=Jos\xC3\xA9\n", "Jos\xC3\x83\xC2\xA9"},
        {"Options: encoding = utf8\n\n#CONTACT\n\tNAME=Jos\xC3\xA9\n", "Jos\xC3\xA9"},
    };
    for (const Case& c : cases) {
        const std::string card = Export(c.text, true).text;
        EXPECT_NE(card.find("FN:" + c.name + "\r\n"), std::string::npos) << card;
    }
}

TEST(ContactsExport, FoldsAtSeventyFiveOctetsBetweenCharactersOnly) {
    std::string description(31, 'b');
    for (int i = 0; i < 40; ++i) description += "\xC3\xA9";
    description += std::string(80, ' ') + "a";
    const std::string file = "#CONTACT\n\tDESCRIPTION=" + description + "\n";
    for (const auto version : {ContactsVcardVersion::k30, ContactsVcardVersion::k21}) {
        const std::string card = Export(file, true, {.vcard = version}).text;
        std::string_view previous;
        std::size_t begin = 0;
        for (std::size_t end; (end = card.find("\r\n", begin)) != std::string::npos;
             begin = end + 2) {
            const std::string_view line(card.data() + begin, end - begin);
            EXPECT_LE(line.size(), version == ContactsVcardVersion::k30 ? 75u : 76u) << line;
            const std::size_t first = line.starts_with(' ') ? 1 : 0;
            EXPECT_TRUE(line.size() <= first || (line[first] & 0xC0) != 0x80)
                << "a character split: " << line;
            // A quoted-printable line that opens with a blank reads as a fold.
            EXPECT_FALSE(previous.ends_with('=') && line.starts_with(' ')) << line;
            previous = line;
        }
    }
}

TEST(ContactsExport, NoValueEndsItsCard) {
    model::Contact contact;
    contact.name = "x\r\nEND:VCARD\rBEGIN:VCARD\nFN:y";
    contact.description = contact.name;
    contact.url = contact.name;
    for (const auto version : {formats::VcardVersion::k30, formats::VcardVersion::k21}) {
        std::string card;
        formats::AppendVcard(card, contact, version);
        EXPECT_EQ(card.find("\nEND:VCARD"), card.size() - 12) << card;
        EXPECT_EQ(card.find("\nBEGIN:VCARD"), std::string::npos) << card;
        std::size_t line_ends = 0;
        for (std::size_t at = 0; (at = card.find("\r\n", at)) != std::string::npos; at += 2)
            ++line_ends;
        EXPECT_EQ(std::count(card.begin(), card.end(), '\r'), line_ends) << "a CR alone";
    }
}

TEST(ContactsExport, NamesSplitAsAddressBooksSplitThem) {
    struct Case {
        std::string_view name, given, family;
    } cases[] = {{"Anna Maria Schmidt", "Anna Maria", "Schmidt"},
                 {" Doe , John ", "John", "Doe"},
                 {"Madonna", "Madonna", ""},
                 {"李小龙", "李小龙", ""},
                 {"", "", ""}};
    for (const Case& c : cases) {
        const formats::PersonName name = formats::SplitPersonName(c.name);
        EXPECT_EQ(name.given, c.given) << c.name;
        EXPECT_EQ(name.family, c.family) << c.name;
    }
}

TEST(ContactsExport, RunChoosesByOptionsAndExtension) {
    const TempFolder folder;
    const std::string input = folder.File("contacts.adr");
    PutBytes(input, "#CONTACT\r\n\tNAME=A\r\n\tICON=Contact0\r\n");
    const auto run = [&](const std::string& output, ContactsExportOptions options = {}) {
        const ContactsExportOutcome done = RunContactsExport({input, output}, options);
        EXPECT_EQ(done.outcome.count, 1) << output;
        return GetBytes(output);
    };
    EXPECT_EQ(run(folder.File("default.csv")), ConvertContactsText(GetBytes(input)).csv);
    EXPECT_TRUE(run(folder.File("cards.VCF")).starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_TRUE(run(folder.File("bom.csv"), {.encoding = OutputEncoding::kUtf8Bom})
                    .starts_with(std::string(kBom) + "First Name,Last Name,Middle Name,"));
    PutBytes(folder.File("old.vcf"), "old");
    const ContactsExportOutcome missing =
        RunContactsExport({folder.File("none.adr"), folder.File("old.vcf")}, {});
    EXPECT_TRUE(missing.outcome.input_missing);
    EXPECT_EQ(GetBytes(folder.File("old.vcf")), "old");
}

}  // namespace
}  // namespace quarvo
