// SPDX-License-Identifier: MIT
// The contacts conversion: the Opera contacts reader feeding the address
// book's CSV writer, driven by the conversion driver.
#include "quarvo/conversions/contacts.h"

#include <optional>

#include "engine/conversion_driver.h"
#include "formats/opera_contacts_reader.h"
#include "formats/wab_csv_writer.h"

namespace quarvo {
namespace {

struct ContactsToWabCsv {
    using Result = std::int32_t;  // contacts with a name
    static constexpr std::string_view kPrologue = formats::WabCsvWriter::kHeader;
    static constexpr std::string_view kEpilogue{};

    static std::optional<TextCut> FindCut(std::string_view window, std::size_t near) {
        return formats::OperaContactsReader::FindCut(window, near);
    }

    static Result ConvertPart(TextBuffer& csv, std::string_view part, bool ends_text,
                              const ProgressSink& progress, const BlockSink& drain) {
        formats::WabCsvWriter writer(csv, part, drain);
        Result named = 0;
        formats::OperaContactsReader::ForEach(part, progress, ends_text,
                                              [&](const model::Contact& contact) {
                                                  writer.Write(contact);
                                                  if (!contact.name.empty()) ++named;
                                              });
        return named;
    }

    static Result Join(Result first, Result second) { return first + second; }
    static bool Keeps(Result) { return true; }
};

using Driver = ConversionDriver<ContactsToWabCsv>;

ContactsConversion ConvertText(std::string_view contacts, std::size_t near,
                               const ProgressSink& progress) {
    Driver::Converted converted = Driver::Text(contacts, near, progress);
    return ContactsConversion{std::move(converted.text), converted.result};
}

}  // namespace

ContactsConversion ConvertContactsText(std::string_view contacts, const ProgressSink& progress) {
    return ConvertText(contacts, CutPoint(contacts.size()), progress);
}

namespace detail {

ContactsConversion ConvertContactsTextCutNear(std::string_view contacts, std::size_t near,
                                              const ProgressSink& progress) {
    return ConvertText(contacts, near, progress);
}

}  // namespace detail

std::int32_t ConvertOperaContacts(const std::string& contacts_path, const std::string& csv_path,
                                  const ProgressSink& progress) {
    return Driver::File(contacts_path, csv_path, progress);
}

}  // namespace quarvo
