// SPDX-License-Identifier: MIT
#include "quarvo/conversions/contacts_export.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "formats/contact_fields.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_plain_reader.h"
#include "formats/output_encoding.h"
#include "formats/vcard_writer.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/shown_text.h"
#include "text/text_encoding.h"

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

constexpr std::size_t kValueCount = 10;

std::array<std::string_view, kValueCount> ValuesOf(const model::Contact& c) {
    return {c.name, c.url,   c.description, c.short_name,     c.active,
            c.mail, c.phone, c.fax,         c.postal_address, c.picture_url};
}

// A contact whose values are `transform` of another's, held here for the
// views of `contact()`; neither copied nor moved, which would leave the
// views behind.
class HeldContact {
  public:
    template <class Transform>
    HeldContact(const model::Contact& c, Transform&& transform) {
        const auto in = ValuesOf(c);
        for (std::size_t i = 0; i < kValueCount; ++i) values_[i] = transform(in[i]);
        std::string_view* const out[] = {&contact_.name,           &contact_.url,
                                         &contact_.description,    &contact_.short_name,
                                         &contact_.active,         &contact_.mail,
                                         &contact_.phone,          &contact_.fax,
                                         &contact_.postal_address, &contact_.picture_url};
        for (std::size_t i = 0; i < kValueCount; ++i) *out[i] = values_[i];
    }
    HeldContact(const HeldContact&) = delete;
    HeldContact& operator=(const HeldContact&) = delete;

    [[nodiscard]] const model::Contact& contact() const { return contact_; }

  private:
    std::array<std::string, kValueCount> values_;
    model::Contact contact_;
};

// What reading a contact's values in UTF-8 met.
struct Decoding {
    bool eight_bit_file = false;   // the Options line names another encoding
    bool eight_bit_value = false;  // a value of a UTF-8 file was not UTF-8
    bool undefined_bytes = false;

    // `value` in UTF-8: as it is when it is valid UTF-8, else read as
    // Windows-1252, as every value of an 8-bit file is. One stray byte
    // costs only its own value.
    std::string operator()(std::string_view value) {
        if (!eight_bit_file && formats::IsValidUtf8(value)) return std::string(value);
        if (!eight_bit_file) eight_bit_value = true;
        if (value.find_first_of("\x81\x8D\x8F\x90\x9D") != std::string_view::npos)
            undefined_bytes = true;
        return formats::Windows1252ToUtf8(value);
    }
};

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

std::string ContactsExportProblem(bool vcard, const ContactsExportOptions& options) {
    if (vcard && options.vcard == ContactsVcardVersion::k30 &&
        options.encoding == OutputEncoding::kWindows1252)
        return "A vCard 3.0 file is always UTF-8, as it cannot name another character set: "
               "Windows-1252 goes with vCard 2.1";
    return {};
}

ContactsExport ExportContactsText(std::string_view contacts, bool vcard,
                                  const ContactsExportOptions& options,
                                  const ProgressSink& progress) {
    if (std::string problem = ContactsExportProblem(vcard, options); !problem.empty())
        throw EContactsOptionsError(problem);
    // Opera before version 7 wrote the system's code page; the writers take UTF-8.
    const formats::OperaContacts file = formats::ReadOperaContacts(contacts);

    ContactsExport result;
    if (!vcard) {
        result.text = formats::EncodingPreamble(options.encoding);
        formats::AppendCsvHeader(result.text, LayoutOf(options.layout));
    }
    const formats::CsvLayout& layout = LayoutOf(options.layout);
    const formats::VcardCharset charset = options.encoding == OutputEncoding::kWindows1252
                                              ? formats::VcardCharset{"WINDOWS-1252", false}
                                              : formats::VcardCharset{};
    const auto version = options.vcard == ContactsVcardVersion::k21 ? formats::VcardVersion::k21
                                                                    : formats::VcardVersion::k30;
    for (const PlainContact& read : file.contacts) {
        if (progress) progress();
        if (vcard && read.in_trash && !options.keep_trash) continue;
        Decoding decoding{file.other_encoding};
        const HeldContact decoded(read.contact, decoding);
        const std::string name(formats::DisplayName(decoded.contact()));
        std::vector<char32_t> replaced;
        const auto encode = [&](std::string_view value) {
            return formats::EncodeText(value, options.encoding, replaced);
        };
        std::size_t dropped = 0;
        if (vcard) {
            const formats::VcardText text(decoded.contact(), true);
            dropped = text.dropped();
            const HeldContact encoded(text.contact(), encode);
            (void)formats::AppendVcard(result.text, encoded.contact(), version, charset);
        } else {
            const HeldContact encoded(decoded.contact(), encode);
            formats::AppendCsvRecord(result.text, layout, encoded.contact());
        }
        if (!read.contact.name.empty()) ++result.named;
        if (!replaced.empty()) result.replaced.push_back(ReplacedLine(name, replaced));
        if (decoding.eight_bit_value) result.warnings.push_back({kEightBitValueWarning, name});
        if (decoding.undefined_bytes) result.warnings.push_back({kUndefinedBytesWarning, name});
        if (dropped != 0) result.warnings.push_back({kControlCharactersWarning, name, dropped});
    }
    return result;
}

ContactsExportOutcome RunContactsExport(const ConversionJob& job,
                                        const ContactsExportOptions& options,
                                        const ProgressSink& progress) {
    const bool vcard = IsVcardFileName(job.output);
    if (std::string problem = ContactsExportProblem(vcard, options); !problem.empty())
        throw EContactsOptionsError(problem);
    const ContactsExportOptions defaults;
    if (!vcard && options.layout == defaults.layout && options.encoding == defaults.encoding)
        return {RunContactsConversion(job, progress), {}, {}};
    if (!PathExists(job.input)) return {{0, true}, {}, {}};
    ContactsExport done = ExportContactsText(ReadWholeFile(job.input), vcard, options, progress);
    WriteWholeFile(job.output, done.text);
    return {{done.named, false}, std::move(done.replaced), std::move(done.warnings)};
}

void ReportContactsExport(const ContactsExportOutcome& done, ConversionReport& report) {
    if (done.outcome.input_missing) return;
    report.Count("contacts with a name", done.outcome.count);
    for (const std::string& line : done.replaced) report.Warn(kReplacedCharactersWarning, line);
    for (const ContactsWarning& warning : done.warnings)
        report.Warn(warning.what,
                    warning.contact.empty() ? std::string_view("(no name)") : warning.contact,
                    warning.times);
}

}  // namespace quarvo
