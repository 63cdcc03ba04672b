// SPDX-License-Identifier: MIT
// Contacts conversion on arbitrary bytes: it must never crash, and its CSV
// must read back, with any standard reader, as one record per contact entry
// of 29 fields each (an entry ends at its ICON line or at the next marker
// line); the table-driven writer with the address book's layout
// must give the same bytes from the same records.
#include <cstddef>
#include <cstdint>

#include "csv_reader.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_reader.h"
#include "laws.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/contacts_export.h"

namespace {

struct Passes {
    std::size_t passes = 0;   // progress steps
    std::size_t records = 0;  // passes that found a "#CONTACT"
};

// An entry runs from "#CONTACT" to the next "ICON=" or the next line that
// opens with '#', whichever comes first; the next pass starts after that
// "ICON=", or at that line. A pass without "#CONTACT" is the last. `rest`
// has CR LF line ends.
Passes ModelPasses(std::string_view rest) {
    Passes model;
    while (!rest.empty()) {
        ++model.passes;
        const std::size_t start = rest.find("#CONTACT");
        if (start == std::string_view::npos) break;
        ++model.records;
        const std::size_t icon = rest.find("ICON=", start + 8);
        const std::size_t line = rest.find("\r\n#", start + 6);
        if (line != std::string_view::npos && (icon == std::string_view::npos || line + 2 < icon)) {
            rest.remove_prefix(line + 2);
            continue;
        }
        if (icon == std::string_view::npos) break;
        rest.remove_prefix(icon + 5);
    }
    return model;
}

// A vCard file that no reader can misread: nothing but CR LF ends a line,
// no control character stands in a value, and (in UTF-8) no Unicode line
// break either; every line is a card's start or end, its version, a
// property the writer writes, or in 3.0 a folded continuation of at most
// 75 octets; 2.1 has no soft line break; cards open and close in turn.
void CheckCards(std::string_view cards, bool v30, bool utf8) {
    using quarvo::fuzz::Contains;
    static constexpr std::string_view kNames[] = {"N",   "FN",    "NICKNAME", "EMAIL", "TEL",
                                                  "ADR", "LABEL", "URL",      "PHOTO", "NOTE"};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cards[i]);
        if (byte == '\r') QUARVO_LAW(i + 1 < cards.size() && cards[i + 1] == '\n');
        if (byte == '\n') QUARVO_LAW(i > 0 && cards[i - 1] == '\r');
        QUARVO_LAW(byte >= 0x20 || byte == '\r' || byte == '\n' || byte == '\t');
        QUARVO_LAW(byte != 0x7f);
    }
    if (utf8) {
        for (const std::string_view unicode_break : {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"})
            QUARVO_LAW(!Contains(cards, unicode_break));
    }
    bool open = false;
    for (std::size_t begin = 0; begin < cards.size();) {
        const std::size_t end = cards.find("\r\n", begin);
        QUARVO_LAW(end != std::string_view::npos);
        const std::string_view line = cards.substr(begin, end - begin);
        begin = end + 2;
        if (line == "BEGIN:VCARD" || line == "END:VCARD") {
            QUARVO_LAW(open == (line == "END:VCARD"));
            open = !open;
            continue;
        }
        QUARVO_LAW(open);
        if (v30) QUARVO_LAW(line.size() <= 75);
        if (!v30) QUARVO_LAW(!line.ends_with('=') || !Contains(line, "QUOTED-PRINTABLE"));
        if (line == (v30 ? "VERSION:3.0" : "VERSION:2.1")) continue;
        if (v30 && line.starts_with(' ')) continue;
        bool known = false;
        for (const std::string_view name : kNames)
            known = known || (line.starts_with(name) && line.size() > name.size() &&
                              (line[name.size()] == ':' || line[name.size()] == ';'));
        QUARVO_LAW(known);
    }
    QUARVO_LAW(!open);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarvo::fuzz;
    const std::string_view text = AsText(data, size);
    std::size_t steps = 0;
    const quarvo::ContactsConversion converted =
        quarvo::ConvertContactsText(text, [&steps] { ++steps; });

    const std::string twin = CrLfTwin(text);
    const Passes model = ModelPasses(twin);
    QUARVO_LAW(steps == model.passes);
    QUARVO_LAW(converted.csv.starts_with(quarvo::kContactsCsvHeader));

    const auto records = quarvo::testing::ReadCsv(converted.csv);
    QUARVO_LAW(records.has_value());
    QUARVO_LAW(records->size() == model.records + 1);
    std::int32_t named = 0;
    for (const auto& record : *records) {
        QUARVO_LAW(record.size() == 29);
        if (&record != &records->front() && !record[3].empty()) ++named;
    }
    QUARVO_LAW(converted.named == named);

    std::string table;
    quarvo::formats::AppendCsvHeader(table, quarvo::formats::kWabLayout);
    quarvo::formats::ForEachOperaContact(text, [&table](const quarvo::model::Contact& contact) {
        quarvo::formats::AppendCsvRecord(table, quarvo::formats::kWabLayout, contact);
    });
    QUARVO_LAW(table == converted.csv);

    for (const auto version :
         {quarvo::ContactsVcardVersion::k30, quarvo::ContactsVcardVersion::k21}) {
        const bool v30 = version == quarvo::ContactsVcardVersion::k30;
        const auto encoding =
            v30 ? quarvo::OutputEncoding::kUtf8 : quarvo::OutputEncoding::kWindows1252;
        const quarvo::ContactsExport cards = quarvo::ExportContactsText(
            text, true, {.vcard = version, .encoding = encoding, .keep_trash = true});
        CheckCards(cards.text, v30, v30);
    }

    // A file and its CR LF twin convert alike.
    if (twin.size() != text.size()) {
        QUARVO_LAW(quarvo::ConvertContactsText(twin).csv == converted.csv);
    }

    // Converted in two parts side by side, cut anywhere, it gives the same.
    std::size_t cut_steps = 0;
    const quarvo::ContactsConversion cut = quarvo::detail::ConvertContactsTextCutNear(
        text, CutPoint(text), [&cut_steps] { ++cut_steps; });
    QUARVO_LAW(cut.csv == converted.csv && cut.named == converted.named);
    QUARVO_LAW(cut_steps == steps);
    return 0;
}
