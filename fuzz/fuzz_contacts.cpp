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
#include "quarvo/contacts.h"

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
