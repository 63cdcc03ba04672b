// SPDX-License-Identifier: MIT
#include "quarvo/conversions/contacts_export.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "formats/contact_fields.h"
#include "formats/csv_table_writer.h"
#include "formats/opera_contacts_plain_reader.h"
#include "formats/output_encoding.h"
#include "formats/output_sinks.h"
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
// views behind. `transform` returns a value as it is where it needs no
// change, else the one it made in the room it is given: a giant value is
// not copied for nothing.
class HeldContact {
  public:
    template <class Transform>
    HeldContact(const model::Contact& c, Transform&& transform) {
        const auto in = ValuesOf(c);
        std::array<std::string_view, kValueCount> views;
        for (std::size_t i = 0; i < kValueCount; ++i) views[i] = transform(in[i], values_[i]);
        std::string_view* const out[] = {&contact_.name,           &contact_.url,
                                         &contact_.description,    &contact_.short_name,
                                         &contact_.active,         &contact_.mail,
                                         &contact_.phone,          &contact_.fax,
                                         &contact_.postal_address, &contact_.picture_url};
        for (std::size_t i = 0; i < kValueCount; ++i) *out[i] = views[i];
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
    std::string_view operator()(std::string_view value, std::string& room) {
        if (!eight_bit_file && formats::IsValidUtf8(value)) return value;
        if (!eight_bit_file) eight_bit_value = true;
        for (const char c : value) {  // one pass, not a memchr per byte
            const auto byte = static_cast<unsigned char>(c);
            if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
                undefined_bytes = true;
        }
        room = formats::Windows1252ToUtf8(value);
        return room;
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

namespace {

// The writers append a contact at a time; the text goes on in blocks of
// about a mebibyte.
constexpr std::size_t kBlock = std::size_t{1} << 20;

class StringSink final : public formats::TextSink {
  public:
    void Write(std::string_view piece) override { text.append(piece); }
    std::string text;
};

class ReplacementSink final : public formats::TextSink {
  public:
    explicit ReplacementSink(FileReplacement& file) : file_(file) {}
    void Write(std::string_view piece) override { file_.Write(piece); }

  private:
    FileReplacement& file_;
};

// As ExportContactsText, the file's text handed to `sink` as it is made
// rather than returned.
ContactsExport ExportContacts(std::string_view contacts, bool vcard,
                              const ContactsExportOptions& options, const ProgressSink& progress,
                              formats::TextSink& sink) {
    if (std::string problem = ContactsExportProblem(vcard, options); !problem.empty())
        throw EContactsOptionsError(problem);
    // Opera before version 7 wrote the system's code page; the writers take UTF-8.
    const bool other_encoding = formats::ContactsNameOtherEncoding(contacts);
    ContactsExport result;
    std::string& out = result.text;
    out.reserve(kBlock + kBlock / 8);
    if (!vcard) {
        out = formats::EncodingPreamble(options.encoding);
        formats::AppendCsvHeader(out, LayoutOf(options.layout));
    }
    const formats::CsvLayout& layout = LayoutOf(options.layout);
    const formats::VcardCharset charset = options.encoding == OutputEncoding::kWindows1252
                                              ? formats::VcardCharset{"WINDOWS-1252", false}
                                              : formats::VcardCharset{};
    const auto version = options.vcard == ContactsVcardVersion::k21 ? formats::VcardVersion::k21
                                                                    : formats::VcardVersion::k30;
    const formats::PassText pass = [&out, &sink] {
        sink.Write(out);
        out.clear();
    };
    formats::ForEachOperaContact(contacts, [&](const PlainContact& read) {
        if (progress) progress();
        if (vcard && read.in_trash && !options.keep_trash) return;
        Decoding decoding{other_encoding};
        const HeldContact decoded(read.contact, decoding);
        // Made only for a warning: a name may run to megabytes.
        const auto name = [&decoded] {
            return std::string(formats::DisplayName(decoded.contact()));
        };
        std::vector<char32_t> replaced;
        const auto encode = [&](std::string_view value, std::string& room) -> std::string_view {
            if (options.encoding != OutputEncoding::kWindows1252) return value;
            room = formats::EncodeText(value, options.encoding, replaced);
            return room;
        };
        std::size_t dropped = 0;
        if (vcard) {
            const formats::VcardText text(decoded.contact(), true);
            dropped = text.dropped();
            const HeldContact encoded(text.contact(), encode);
            // In UTF-8 the encoded values are the cleaned ones; Windows-1252
            // bytes are looked at once more as such.
            if (charset.utf8)
                formats::AppendCleanVcard(out, encoded.contact(), version, charset, pass);
            else
                (void)formats::AppendVcard(out, encoded.contact(), version, charset, pass);
        } else {
            const HeldContact encoded(decoded.contact(), encode);
            formats::AppendCsvRecord(out, layout, encoded.contact(), pass);
        }
        if (!read.contact.name.empty()) ++result.named;
        if (!replaced.empty()) result.replaced.push_back(ReplacedLine(name(), replaced));
        if (decoding.eight_bit_value) result.warnings.push_back({kEightBitValueWarning, name()});
        if (decoding.undefined_bytes) result.warnings.push_back({kUndefinedBytesWarning, name()});
        if (dropped != 0) result.warnings.push_back({kControlCharactersWarning, name(), dropped});
        if (out.size() >= kBlock) pass();
    });
    if (!out.empty()) sink.Write(out);
    out.clear();
    out.shrink_to_fit();
    return result;
}

}  // namespace

ContactsExport ExportContactsText(std::string_view contacts, bool vcard,
                                  const ContactsExportOptions& options,
                                  const ProgressSink& progress) {
    StringSink sink;
    ContactsExport result = ExportContacts(contacts, vcard, options, progress, sink);
    result.text = std::move(sink.text);
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
    const std::string contacts = ReadWholeFile(job.input);
    FileReplacement file(job.output);
    ReplacementSink sink(file);
    ContactsExport done = ExportContacts(contacts, vcard, options, progress, sink);
    file.Commit();
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
