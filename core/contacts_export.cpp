// SPDX-License-Identifier: MIT
#include "quarvo/contacts_export.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "formats/contact_fields.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_plain_reader.h"
#include "formats/output_encoding.h"
#include "formats/text_encoding.h"
#include "formats/vcard_writer.h"
#include "quarvo/file_layer.h"
#include "quarvo/shown_text.h"

namespace quarvo {
namespace {

using formats::PlainContact;

const formats::CsvLayout& LayoutOf(ContactsCsvLayout layout) {
    switch (layout) {
        case ContactsCsvLayout::kOutlook:
            return formats::kOutlookLayout;
        case ContactsCsvLayout::kThunderbird:
            return formats::kThunderbirdLayout;
        case ContactsCsvLayout::kGoogle:
            return formats::kGoogleLayout;
        case ContactsCsvLayout::kWab:
            break;
    }
    return formats::kWabLayout;
}

// A contact's values in the output's encoding, held here for the writers'
// views.
struct EncodedContact {
    std::array<std::string, 10> values;
    model::Contact contact;
};

EncodedContact Encode(const model::Contact& c, OutputEncoding encoding,
                      std::vector<char32_t>& replaced) {
    EncodedContact e;
    const std::array<std::string_view, 10> in = {
        c.name, c.url,   c.description, c.short_name,     c.active,
        c.mail, c.phone, c.fax,         c.postal_address, c.picture_url};
    for (std::size_t i = 0; i < in.size(); ++i)
        e.values[i] = formats::EncodeText(in[i], encoding, replaced);
    std::string_view* const out[] = {&e.contact.name,           &e.contact.url,
                                     &e.contact.description,    &e.contact.short_name,
                                     &e.contact.active,         &e.contact.mail,
                                     &e.contact.phone,          &e.contact.fax,
                                     &e.contact.postal_address, &e.contact.picture_url};
    for (std::size_t i = 0; i < in.size(); ++i) *out[i] = e.values[i];
    return e;
}

// A contact named, not quoted: a name may run to megabytes.
constexpr std::size_t kLongestName = 80;
constexpr std::size_t kMostCharactersNamed = 20;

// "name: 'c' (U+XXXX), ..." for one contact's characters.
std::string ReplacedLine(std::string_view name, const std::vector<char32_t>& codes) {
    std::string line = name.empty() ? "(no name)" : ShownBriefly(name, kLongestName);
    line += ": ";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i == kMostCharactersNamed) {
            line += " and " + std::to_string(codes.size() - i) + " more";
            break;
        }
        line += i == 0 ? "'" : ", '";
        formats::AppendUtf8(line, codes[i]);
        char number[16];
        std::snprintf(number, sizeof number, "' (U+%04X)", static_cast<unsigned>(codes[i]));
        line += number;
    }
    return line;
}

}  // namespace

bool IsVcardFileName(std::string_view file_name) noexcept {
    if (file_name.size() < 4) return false;
    const std::string_view end = file_name.substr(file_name.size() - 4);
    return std::equal(end.begin(), end.end(), ".vcf", [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

ContactsExport ExportContactsText(std::string_view contacts, bool vcard,
                                  const ContactsExportOptions& options,
                                  const ProgressSink& progress) {
    // Opera before version 7 wrote the system's code page; the writers take UTF-8.
    std::string decoded;
    formats::OperaContacts file = formats::ReadOperaContacts(contacts);
    if (file.other_encoding || !formats::IsValidUtf8(contacts)) {
        decoded = formats::Windows1252ToUtf8(contacts);
        file = formats::ReadOperaContacts(decoded);
    }

    ContactsExport result;
    result.text = formats::EncodingPreamble(options.encoding);
    const formats::CsvLayout& layout = LayoutOf(options.layout);
    if (!vcard) formats::AppendCsvHeader(result.text, layout);
    const formats::VcardCharset charset = options.encoding == OutputEncoding::kWindows1252
                                              ? formats::VcardCharset{"WINDOWS-1252", false}
                                              : formats::VcardCharset{};
    const auto version = options.vcard == ContactsVcardVersion::k21 ? formats::VcardVersion::k21
                                                                    : formats::VcardVersion::k30;
    for (const PlainContact& read : file.contacts) {
        if (progress) progress();
        if (vcard && read.in_trash && !options.keep_trash) continue;
        std::vector<char32_t> replaced;
        const EncodedContact encoded = Encode(read.contact, options.encoding, replaced);
        if (vcard)
            formats::AppendVcard(result.text, encoded.contact, version, charset);
        else
            formats::AppendCsvRecord(result.text, layout, encoded.contact);
        if (!read.contact.name.empty()) ++result.named;
        if (!replaced.empty())
            result.replaced.push_back(ReplacedLine(formats::DisplayName(read.contact), replaced));
    }
    return result;
}

ContactsExportOutcome RunContactsExport(const ConversionJob& job,
                                        const ContactsExportOptions& options,
                                        const ProgressSink& progress) {
    const bool vcard = IsVcardFileName(job.output);
    const ContactsExportOptions defaults;
    if (!vcard && options.layout == defaults.layout && options.encoding == defaults.encoding)
        return {RunContactsConversion(job, progress), {}};
    if (!PathExists(job.input)) return {{0, true}, {}};
    ContactsExport done = ExportContactsText(ReadWholeFile(job.input), vcard, options, progress);
    WriteWholeFile(job.output, done.text);
    return {{done.named, false}, std::move(done.replaced)};
}

void ReportContactsExport(const ContactsExportOutcome& done, ConversionReport& report) {
    if (done.outcome.input_missing) return;
    report.Count("contacts with a name", done.outcome.count);
    for (const std::string& line : done.replaced) report.Warn(kReplacedCharactersWarning, line);
}

}  // namespace quarvo
