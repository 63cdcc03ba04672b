// SPDX-License-Identifier: MIT
// The contacts outputs beside the address book's CSV: vCard, the other CSV
// layouts and the encodings, on the hand-made file with every field and on
// the real Opera contacts files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "formats/contact_fields.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_reader.h"
#include "formats/vcard_writer.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/contacts_export.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"
#include "text/text_encoding.h"

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

// 3.0 folds long lines, between characters only. 2.1 readers that decode
// line by line split a UTF-8 sequence at a soft line break, Evolution keeps
// its '=', and a folded plain value keeps the fold's blank: each 2.1
// property stands on one line.
TEST(ContactsExport, ThreeFoldsBetweenCharactersTwoOneWritesEachPropertyOnOneLine) {
    std::string description(31, 'b');
    for (int i = 0; i < 40; ++i) description += "\xC3\xA9";
    description += std::string(80, ' ') + "a";
    const std::string file = "#CONTACT\n\tDESCRIPTION=" + description +
                             "\n\tURL=http://example.org/" + std::string(90, 'u') +
                             "\n\tNAME=" + std::string(90, 'n') + "\n";
    for (const auto version : {ContactsVcardVersion::k30, ContactsVcardVersion::k21}) {
        const bool v30 = version == ContactsVcardVersion::k30;
        const std::string card = Export(file, true, {.vcard = version}).text;
        std::size_t begin = 0;
        std::size_t folds = 0;
        for (std::size_t end; (end = card.find("\r\n", begin)) != std::string::npos;
             begin = end + 2) {
            const std::string_view line(card.data() + begin, end - begin);
            folds += line.starts_with(' ');
            if (v30) {
                EXPECT_LE(line.size(), 75u) << line;
                const std::size_t first = line.starts_with(' ') ? 1 : 0;
                EXPECT_TRUE(line.size() <= first || (line[first] & 0xC0) != 0x80)
                    << "a character split: " << line;
            } else {
                EXPECT_FALSE(line.ends_with('=')) << "a soft line break: " << line;
            }
        }
        EXPECT_EQ(folds == 0, !v30) << card;
        if (!v30) {
            EXPECT_NE(card.find("\r\nFN:" + std::string(90, 'n') + "\r\n"), std::string::npos);
            EXPECT_NE(card.find("\r\nNOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" +
                                std::string(31, 'b') + "=C3=A9"),
                      std::string::npos);
            EXPECT_NE(card.find(std::string(79, ' ') + "a\r\n"), std::string::npos) << card;
        }
    }
}

// What Evolution, KContacts and Thunderbird all read whole (checked
// against them by tests/peers/): in 2.1 a value that holds a separator is
// written in quoted-printable, a ';' inside a part of a structured value as
// "\;"; in 3.0 as RFC 2426 escapes them. A part that ends in a backslash
// gets a blank, which no reader takes for an escape.
TEST(ContactsExport, ValuesArriveWholeWhateverTheyHold) {
    struct Case {
        std::string keys;
        ContactsVcardVersion version;
        std::vector<std::string> lines;  // each a whole line of the card
    } cases[] = {
        {"\tNAME=Smith; Jane\n\tPHONE=+1 555 0100; ext. 7\n\tSHORT NAME=a,b\n",
         ContactsVcardVersion::k21,
         {"N:Jane;Smith\\;;;;", "FN;ENCODING=QUOTED-PRINTABLE:Smith=3B Jane",
          "NICKNAME;ENCODING=QUOTED-PRINTABLE:a=2Cb",
          "TEL;TYPE=HOME;TYPE=VOICE;ENCODING=QUOTED-PRINTABLE:+1 555 0100=3B ext. 7"}},
        {"\tNAME=Doe, John\n\tPHONE=1, 2\n\tDESCRIPTION=x, y\n",
         ContactsVcardVersion::k21,
         {"N:Doe;John;;;", "FN:Doe, John", "TEL;HOME;VOICE:1, 2",
          "NOTE;ENCODING=QUOTED-PRINTABLE:x=2C y"}},
        {"\tNAME=Smith\\ John\n\tPOSTALADDRESS=C:\\new\x02\x02"
         "a;b\\\n",
         ContactsVcardVersion::k21,
         {"N;ENCODING=QUOTED-PRINTABLE:John;Smith=5C ;;;",
          "ADR;TYPE=HOME;ENCODING=QUOTED-PRINTABLE:;;C:=5Cnew=0D=0Aa\\;b=5C ;;;;",
          "LABEL;TYPE=HOME;ENCODING=QUOTED-PRINTABLE:C:=5Cnew=0D=0Aa=3Bb=5C"}},
        {"\tNAME=John Smith\\\n\tURL=http://h/a;b\n",
         ContactsVcardVersion::k21,
         {"N;ENCODING=QUOTED-PRINTABLE:Smith=5C ;John;;;",
          "URL;ENCODING=QUOTED-PRINTABLE:http://h/a=3Bb"}},
        {"\tNAME=John Smith\\\n\tDESCRIPTION=a;b,c\\d\n",
         ContactsVcardVersion::k30,
         {"N:Smith\\\\ ;John;;;", "FN:John Smith\\\\", "NOTE:a\\;b\\,c\\\\d"}},
        {"\tNAME=Gr\xC3\xB6\xC3\x9F"
         "e \n",
         ContactsVcardVersion::k21,
         {"FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Gr=C3=B6=C3=9Fe=20"}},
    };
    for (const Case& c : cases) {
        const std::string card = Export("#CONTACT\n" + c.keys, true, {.vcard = c.version}).text;
        for (const std::string& line : c.lines)
            EXPECT_NE(card.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << card;
    }
}

// No text value holds a control character: a reader that splits lines as
// Unicode does would see properties and cards of its own in it.
TEST(ContactsExport, CardsHoldNoControlCharactersAndTheReportCountsThem) {
    const std::string file =
        "#CONTACT\n\tNAME=A\x01"
        "B\x1b]0;T\x07\n\tDESCRIPTION=x\xE2\x80\xA8y\xC2\x85z\x0b\x0c\x1c\x1d\x1e"
        "w\x02"
        "v\xC2\x9B"
        "u\tt\n\tPHONE=1\xE2\x80\xA9"
        "2\n#CONTACT\n\tNAME=clean\n";
    for (const auto version : {ContactsVcardVersion::k30, ContactsVcardVersion::k21}) {
        const ContactsExport done = Export(file, true, {.vcard = version});
        for (const char c : done.text) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 || c == '\r' || c == '\n' || c == '\t')
                << static_cast<int>(byte) << "\n"
                << done.text;
        }
        for (const std::string_view unicode_break : {"\xE2\x80\xA8", "\xE2\x80\xA9", "\xC2\x85"})
            EXPECT_EQ(done.text.find(unicode_break), std::string::npos);
        const bool v30 = version == ContactsVcardVersion::k30;
        EXPECT_NE(done.text.find(v30 ? "\r\nFN:AB]0\\;T\r\n"
                                     : "\r\nFN;ENCODING=QUOTED-PRINTABLE:AB]0=3BT\r\n"),
                  std::string::npos)
            << done.text;
        EXPECT_NE(
            done.text.find(v30 ? "\r\nNOTE:x\\ny\\nzwvu\tt\r\n"
                               : "\r\nNOTE;ENCODING=QUOTED-PRINTABLE:x=0D=0Ay=0D=0Azwvu=09t\r\n"),
            std::string::npos)
            << done.text;
        EXPECT_NE(
            done.text.find(v30 ? "\r\nTEL;TYPE=HOME,VOICE:1 2\r\n" : "\r\nTEL;HOME;VOICE:1 2\r\n"),
            std::string::npos)
            << done.text;
        ConversionReport report;
        ReportContactsExport({{done.named, false}, done.replaced, done.warnings}, report);
        EXPECT_EQ(report.Text("R"),
                  "R\ncontacts with a name: 2\nWarning: control characters left out of the vCards "
                  "(10 times): \"A\\x01B\\e]0;T\\x07\"\n")
            << report.Text("R");
    }
}

// One byte that is not UTF-8 makes its own value Windows-1252, not the
// whole file; the report names the contact.
TEST(ContactsExport, AValueNotValidUtf8IsReadAsWindows1252AloneAndWarnedOf) {
    const std::string file =
        "#CONTACT\n\tNAME=Jos\xE9\n\tDESCRIPTION=caf\xC3\xA9\n"
        "#CONTACT\n\tNAME=\xE6\x9D\x8E\xE5\xB0\x8F\n\tPHONE=\x81\n";
    for (const bool vcard : {true, false}) {
        const ContactsExport done = Export(file, vcard, {.layout = ContactsCsvLayout::kOutlook});
        EXPECT_TRUE(formats::IsValidUtf8(done.text));
        for (const std::string_view kept :
             {"Jos\xC3\xA9", "caf\xC3\xA9", "\xE6\x9D\x8E\xE5\xB0\x8F"})
            EXPECT_NE(done.text.find(kept), std::string::npos) << kept << "\n" << done.text;
        ConversionReport report;
        ReportContactsExport({{done.named, false}, done.replaced, done.warnings}, report);
        const std::string text = report.Text("R");
        EXPECT_NE(text.find("Warning: values not valid UTF-8, read as Windows-1252 (2 times): "
                            "\"Jos\xC3\xA9\", \"\xE6\x9D\x8E\xE5\xB0\x8F\"\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("Warning: bytes Windows-1252 leaves undefined, read as control "
                            "characters (1 time): \"\xE6\x9D\x8E\xE5\xB0\x8F\"\n"),
                  std::string::npos)
            << text;
    }
}

TEST(ContactsExport, AVcardGetsNoByteOrderMarkAndAThreeZeroOneNoWindows1252) {
    const std::string file = "#CONTACT\n\tNAME=A\n";
    EXPECT_TRUE(Export(file, true, {.encoding = OutputEncoding::kUtf8Bom})
                    .text.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_TRUE(Export(file, true,
                       {.vcard = ContactsVcardVersion::k21, .encoding = OutputEncoding::kUtf8Bom})
                    .text.starts_with("BEGIN:VCARD\r\nVERSION:2.1\r\n"));
    const ContactsExportOptions ansi_30{.encoding = OutputEncoding::kWindows1252};
    EXPECT_NE(ContactsExportProblem(true, ansi_30), "");
    EXPECT_EQ(ContactsExportProblem(false, ansi_30), "");
    EXPECT_EQ(ContactsExportProblem(true, {.vcard = ContactsVcardVersion::k21,
                                           .encoding = OutputEncoding::kWindows1252}),
              "");
    EXPECT_THROW((void)Export(file, true, ansi_30), EContactsOptionsError);

    const TempFolder folder;
    PutBytes(folder.File("contacts.adr"), file);
    PutBytes(folder.File("old.vcf"), "old");
    EXPECT_THROW(
        (void)RunContactsExport({folder.File("contacts.adr"), folder.File("old.vcf")}, ansi_30),
        EContactsOptionsError);
    EXPECT_EQ(GetBytes(folder.File("old.vcf")), "old");
    EXPECT_EQ(folder.EntryCount(), 2u);
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

// A giant value goes on as it is written: the writer hands the text on at
// least once a mebibyte, and what it hands on is what it writes in one go.
TEST(ContactsExport, WritersHandAGiantValueOnInPieces) {
    const std::string giant = std::string(std::size_t{3} << 20, '"') + "caf\xC3\xA9 ;,\\" +
                              std::string(std::size_t{2} << 20, 'x');
    model::Contact contact;
    contact.name = giant;
    contact.description = giant;
    contact.mail = "a@example.com";
    const std::vector<
        std::pair<const char*, std::function<void(std::string&, const formats::PassText&)>>>
        writers = {
            {"csv outlook",
             [&](std::string& out, const formats::PassText& pass) {
                 formats::AppendCsvRecord(out, formats::kOutlookLayout, contact, pass);
             }},
            {"csv google",
             [&](std::string& out, const formats::PassText& pass) {
                 formats::AppendCsvRecord(out, formats::kGoogleLayout, contact, pass);
             }},
            {"vcard 3.0",
             [&](std::string& out, const formats::PassText& pass) {
                 formats::AppendVcard(out, contact, formats::VcardVersion::k30, {}, pass);
             }},
            {"vcard 2.1",
             [&](std::string& out, const formats::PassText& pass) {
                 formats::AppendVcard(out, contact, formats::VcardVersion::k21, {}, pass);
             }},
        };
    for (const auto& [name, write] : writers) {
        std::string whole;
        write(whole, {});
        std::string out;
        std::string handed;
        std::size_t largest = 0;
        write(out, [&] {
            largest = std::max(largest, out.size());
            handed += out;
            out.clear();
        });
        EXPECT_EQ(handed + out, whole) << name;
        EXPECT_GT(handed.size(), whole.size() / 2) << name;
        EXPECT_LE(largest, std::size_t{2} << 20) << name;  // never the whole
    }
    // A contact cleaned once gives the same card without a second cleaning.
    contact.phone =
        "1\x02\x02"
        "2\x01\xC2\x85";
    const formats::VcardText clean(contact, true);
    std::string cleaned;
    std::string card;
    formats::AppendCleanVcard(cleaned, clean.contact(), formats::VcardVersion::k30);
    formats::AppendVcard(card, contact, formats::VcardVersion::k30);
    EXPECT_EQ(cleaned, card);
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
