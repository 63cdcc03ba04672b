// SPDX-License-Identifier: MIT
#include "formats/wab_csv_writer.h"

#include <cstddef>

#include "formats/record_writer.h"
#include "text/scan/byte_set.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kValueBreak = model::kValueBreak;

// Writes `value` for the inside of a quoted CSV field: double quotes are
// doubled. Written seven times per record, it is worth inlining where the
// compiler would not (the writer then stays in registers); so is PutQuoted.
[[gnu::always_inline]] inline void PutFieldText(RecordWriter& out, std::string_view value) {
    out.PutInPieces(value, 2, [](RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'"'>(part, [](RecordWriter& w, std::string_view, std::size_t i) {
            w.Put("\"\"");
            return i + 1;
        });
    });
}

// As PutFieldText, and each marker pair becomes CR LF (pairs taken left to
// right, so three marker bytes give CR LF and one marker byte).
void PutFieldTextWithBreaks(RecordWriter& out, std::string_view value) {
    const auto put = [](RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'"', '\x02'>(part, [](RecordWriter& w, std::string_view v, std::size_t i) {
            if (v[i] == '"') {
                w.Put("\"\"");
                return i + 1;
            }
            if (i + 1 < v.size() && v[i + 1] == '\x02') {
                w.Put(kCrLf);
                return i + 2;
            }
            w.Put(v[i]);
            return i + 1;
        });
    };
    out.PutInPieces(value, 2, put, kValueBreak[0]);
}

[[gnu::always_inline]] inline void PutQuoted(RecordWriter& out, std::string_view value) {
    out.Put('"');
    PutFieldText(out, value);
    out.Put('"');
}

void PutQuotedWithBreaks(RecordWriter& out, std::string_view value) {
    out.Put('"');
    PutFieldTextWithBreaks(out, value);
    out.Put('"');
}

// The address book wants the first address bare; it is quoted only when a
// bare field could not hold it.
void PutFirstAddress(RecordWriter& out, std::string_view address, bool needs_quotes) {
    if (needs_quotes)
        PutQuoted(out, address);
    else
        out.PutInPieces(address, 1,
                        [](RecordWriter& out, std::string_view part) { out.Put(part); });
}

// Where the first address of a MAIL value ends (at the first marker pair, or
// at the end), and whether it holds a byte a bare CSV field cannot. One
// pass over the first address answers both; it may read on up to
// `readable_end`, the end of the text the value lies in.
struct FirstAddress {
    std::size_t end;
    bool needs_quotes;
};
FirstAddress FindFirstAddress(std::string_view mail, const char* readable_end) {
    static_assert(kValueBreak.size() == 2 && kValueBreak[0] == kValueBreak[1]);
    const scan::PairAndAny found = scan::FindPairAndAnyOf<kValueBreak[0], ',', '"', '\r', '\n'>(
        mail.data(), mail.size(), readable_end);
    return {found.pair, found.any_before};
}

// The longest record a contact can give: the fixed text, and every value
// twice as long when it is all quotes.
std::size_t MostRecordBytes(const model::Contact& contact) {
    constexpr std::size_t kFixed = 128;
    const std::size_t values = contact.name.size() + contact.url.size() +
                               contact.description.size() + contact.short_name.size() +
                               contact.active.size() + contact.mail.size() + contact.phone.size() +
                               contact.fax.size() + contact.postal_address.size() +
                               contact.picture_url.size();
    return kFixed + 2 * values;
}

}  // namespace

void WabCsvWriter::Write(const model::Contact& contact) {
    {
        RecordWriter out(csv_, MostRecordBytes(contact), source_, &drain_);
        const std::string_view mail = contact.mail;
        const FirstAddress first = FindFirstAddress(mail, source_.data() + source_.size());
        const std::string_view more_addresses = first.end == mail.size()
                                                    ? std::string_view{}
                                                    : mail.substr(first.end + kValueBreak.size());

        out.Put(",,,");
        PutQuoted(out, contact.name);  // 4 Name
        out.Put(',');
        PutQuoted(out, contact.short_name);  // 5 Nickname
        out.Put(',');
        PutFirstAddress(out, mail.substr(0, first.end), first.needs_quotes);  // 6 E-mail
        out.Put(',');
        PutQuotedWithBreaks(out, contact.postal_address);  // 7 Home Street
        out.Put(",,,,,");
        PutQuoted(out, contact.phone);  // 12 Home Phone
        out.Put(',');
        PutQuoted(out, contact.fax);  // 13 Home Fax
        out.Put(",,");
        PutQuoted(out, contact.url);  // 15 Personal Web Page
        out.Put(",,,,,,");
        PutQuoted(out, contact.picture_url);  // 21 Business Web Page
        out.Put(",,,,,,,,\"");                // 29 Notes
        PutFieldTextWithBreaks(out, contact.description);
        out.Put(contact.active == "YES" ? "\r\nActive=YES\r\n" : "\r\nActive=NO\r\n");
        PutFieldTextWithBreaks(out, more_addresses);
        out.Put("\r\n\"\r\n");
    }
    if (drain_ && csv_.size() >= kOutputBlockBytes) drain_(csv_);
}

}  // namespace quarvo::formats
