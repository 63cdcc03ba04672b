// SPDX-License-Identifier: MIT
#include "quarvo/contacts.h"

#include <array>
#include <cstring>
#include <optional>

#include "adr_entry.h"
#include "byte_set.h"
#include "line_ends.h"
#include "output_file.h"
#include "side_by_side.h"
#include "split_conversion.h"
#include "quarvo/text_search.h"

namespace quarvo {
namespace {

constexpr std::string_view kContactMarker = "#CONTACT";
constexpr std::string_view kEntryEnd = "ICON=";
// Inside a value, two 0x02 bytes stand for a line break or separate addresses.
constexpr std::string_view kValueBreak = "\x02\x02";

enum Key : std::size_t {
    kName,
    kUrl,
    kDescription,
    kShortName,
    kActive,
    kMail,
    kPhone,
    kFax,
    kPostal,
    kPicture,
    kKeyCount
};

constexpr adr::KeySet<kKeyCount> kKeys{std::array<std::string_view, kKeyCount>{
    "NAME=", "URL=", "DESCRIPTION=", "SHORT NAME=", "ACTIVE=", "MAIL=", "PHONE=", "FAX=",
    "POSTALADDRESS=", "PICTUREURL="}};

struct Contact {
    std::array<std::string_view, kKeyCount> values;
    std::string_view operator[](Key key) const noexcept { return values[key]; }
};

// Writes `value` for the inside of a quoted CSV field: double quotes are
// doubled. Written seven times per record, it is worth inlining where the
// compiler would not (the writer then stays in registers); so is PutQuoted.
[[gnu::always_inline]] inline void PutFieldText(adr::RecordWriter& out, std::string_view value) {
    out.PutInPieces(value, 2, [](adr::RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'"'>(part, [](adr::RecordWriter& w, std::string_view, std::size_t i) {
            w.Put("\"\"");
            return i + 1;
        });
    });
}

// As PutFieldText, and each marker pair becomes CR LF (pairs taken left to
// right, so three marker bytes give CR LF and one marker byte).
void PutFieldTextWithBreaks(adr::RecordWriter& out, std::string_view value) {
    const auto put = [](adr::RecordWriter& out, std::string_view part) {
        out.CopyEscaped<'"', '\x02'>(part,
                                     [](adr::RecordWriter& w, std::string_view v, std::size_t i) {
                                         if (v[i] == '"') {
                                             w.Put("\"\"");
                                             return i + 1;
                                         }
                                         if (i + 1 < v.size() && v[i + 1] == '\x02') {
                                             w.Put(adr::kCrLf);
                                             return i + 2;
                                         }
                                         w.Put(v[i]);
                                         return i + 1;
                                     });
    };
    out.PutInPieces(value, 2, put, kValueBreak[0]);
}

[[gnu::always_inline]] inline void PutQuoted(adr::RecordWriter& out, std::string_view value) {
    out.Put('"');
    PutFieldText(out, value);
    out.Put('"');
}

void PutQuotedWithBreaks(adr::RecordWriter& out, std::string_view value) {
    out.Put('"');
    PutFieldTextWithBreaks(out, value);
    out.Put('"');
}

// The address book wants the first address bare; it is quoted only when a
// bare field could not hold it.
void PutFirstAddress(adr::RecordWriter& out, std::string_view address, bool needs_quotes) {
    if (needs_quotes)
        PutQuoted(out, address);
    else
        out.PutInPieces(address, 1, [](adr::RecordWriter& out, std::string_view part) {
            out.Put(part);
        });
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
std::size_t MostRecordBytes(const Contact& contact) {
    constexpr std::size_t kFixed = 128;
    std::size_t values = 0;
    for (const std::string_view value : contact.values) values += value.size();
    return kFixed + 2 * values;
}

void AppendRecord(TextBuffer& csv, const Contact& contact, std::string_view source,
                  const BlockSink& drain) {
    adr::RecordWriter out(csv, MostRecordBytes(contact), source, &drain);
    const std::string_view mail = contact[kMail];
    const FirstAddress first = FindFirstAddress(mail, source.data() + source.size());
    const std::string_view more_addresses =
        first.end == mail.size() ? std::string_view{} : mail.substr(first.end + kValueBreak.size());

    out.Put(",,,");
    PutQuoted(out, contact[kName]);  // 4 Name
    out.Put(',');
    PutQuoted(out, contact[kShortName]);  // 5 Nickname
    out.Put(',');
    PutFirstAddress(out, mail.substr(0, first.end), first.needs_quotes);  // 6 E-mail
    out.Put(',');
    PutQuotedWithBreaks(out, contact[kPostal]);  // 7 Home Street
    out.Put(",,,,,");
    PutQuoted(out, contact[kPhone]);  // 12 Home Phone
    out.Put(',');
    PutQuoted(out, contact[kFax]);  // 13 Home Fax
    out.Put(",,");
    PutQuoted(out, contact[kUrl]);  // 15 Personal Web Page
    out.Put(",,,,,,");
    PutQuoted(out, contact[kPicture]);  // 21 Business Web Page
    out.Put(",,,,,,,,\"");              // 29 Notes
    PutFieldTextWithBreaks(out, contact[kDescription]);
    out.Put(contact[kActive] == "YES" ? "\r\nActive=YES\r\n" : "\r\nActive=NO\r\n");
    PutFieldTextWithBreaks(out, more_addresses);
    out.Put("\r\n\"\r\n");
}

// Appends the records of the contacts in `text` (CR LF line ends) to `csv`
// and returns how many are named. `progress` steps once per pass over the
// entries; the last pass, which finds no contact, steps only when
// `step_after_last` is set. With a `drain`, the text gathered in `csv` is
// passed to it whenever a block is full.
//
// An entry runs from its marker to the next "ICON=", which may lie in a
// following entry when its own is missing; the next pass starts after that
// "ICON=", so no stray "ICON=" can make a contact be cut twice. Each value is
// the text after its key's first occurrence in the entry, up to the next
// CR LF or the end of the entry. One walk over the '#', '=' and CR bytes
// finds markers, entry ends, keys and line ends alike.
std::int32_t AppendRecords(TextBuffer& csv, std::string_view text, const ProgressSink& progress,
                           bool step_after_last, const BlockSink& drain = {}) {
    const char* const data = text.data();
    adr::ByteHits<'#', '=', '\r'> hits(text, 0);
    adr::EntryValues<kKeyCount> values;
    std::int32_t named = 0;
    std::size_t rest = 0;
    while (rest < text.size()) {
        std::size_t marker = adr::kNone;
        for (std::size_t at = hits.Next(); at != adr::kNone; at = hits.Next()) {
            if (data[at] == '#' && adr::HoldsAt(text, at, kContactMarker)) {
                marker = at;
                break;
            }
        }
        if (marker == adr::kNone) {
            if (progress && step_after_last) progress();
            break;
        }
        if (progress) progress();

        const std::size_t begin = marker + kContactMarker.size();
        std::size_t end = text.size();
        rest = text.size();
        values.Clear();
        hits.SkipTo(begin);
        for (std::size_t at = hits.Next(); at != adr::kNone; at = hits.Next()) {
            if (data[at] == '=') {
                if (at >= begin + 4 && std::memcmp(data + at - 4, kEntryEnd.data(), 4) == 0) {
                    end = at - 4;
                    rest = at + 1;
                    break;
                }
                const auto missing = values.missing();
                if (missing == 0) continue;
                if (const auto keys = kKeys.EndingAt(data, begin, at, missing))
                    values.Open(keys, at + 1);
            } else if (data[at] == '\r' && at + 1 < text.size() && data[at + 1] == '\n') {
                // Before an "ICON=" is met every CR LF lies inside the entry.
                values.CloseAt(at);
            }
        }
        values.CloseAt(end);
        hits.SkipTo(rest);

        Contact contact;
        for (std::size_t k = 0; k < kKeyCount; ++k) contact.values[k] = values.Of(data, k);
        AppendRecord(csv, contact, text, drain);
        if (!contact[kName].empty()) ++named;
        if (drain && csv.size() >= kOutputBlockBytes) drain(csv);
    }
    return named;
}

// The CSV text in two pieces, so that a file can be written without first
// joining them.
struct CsvPieces {
    TextBuffer first;  // starts with the header
    TextBuffer second;
    std::int32_t named = 0;
};

// Text that is kept whole is given room for twice its entries at once, as a
// record of a sparse contact can be half again as long as its entry; text
// handed on in blocks needs a block's room.
void ReserveFor(TextBuffer& csv, std::size_t entries_bytes, bool kept_whole) {
    csv.Reserve(kept_whole ? kContactsCsvHeader.size() + 2 * entries_bytes : kBlockRoomBytes,
                kept_whole);
}

// Converts the text; with a `drain`, the text is handed to it in blocks as
// it grows (see ConvertSideBySide), and only what it did not take is
// returned. With
// `check_line_ends`, returns nothing (having delivered nothing) when the
// text, or one of its parts, holds line ends other than CR LF: the whole
// text must then be judged.
//
// With `near` inside the window of bytes read first, the text is cut after the
// first "ICON=" from there on and the two parts are converted side by side.
// Every pass over the entries starts after an "ICON=" (which ended an entry
// or lay between entries), so the parts give exactly the records of the
// whole; the first part's last pass only finds the contact the second
// part's first pass finds, so it does not step.
std::optional<CsvPieces> ConvertPieces(const PartlyRead& source, bool check_line_ends,
                                       std::size_t near, const ProgressSink& progress,
                                       const BlockSink& drain = {}) {
    const std::string_view contacts = source.text;
    const std::string_view window = contacts.substr(0, source.window.end);
    const std::size_t icon = near >= source.window.begin && near < window.size()
                                 ? FindBytes(window, kEntryEnd, near)
                                 : std::string_view::npos;
    const std::size_t cut =
        icon == std::string_view::npos ? contacts.size() : icon + kEntryEnd.size();

    CsvPieces result;
    ReserveFor(result.first, contacts.size(), !drain);
    result.first.Append(kContactsCsvHeader);
    if (cut >= contacts.size()) {
        if (source.read_head) source.read_head();
        if (source.read_tail) source.read_tail();
        if (check_line_ends && NeedsCrLfLineEnds(contacts)) return std::nullopt;
        result.named = AppendRecords(result.first, contacts, progress, true, drain);
        return result;
    }

    const std::string_view first = contacts.substr(0, cut);
    const std::string_view second = contacts.substr(cut);
    std::int32_t named_first = 0;
    std::int32_t named_second = 0;
    const bool converted = ConvertSideBySide(
        first, second, check_line_ends, source.most_held, progress, drain, result.first,
        [&] {
            if (source.read_head) source.read_head();
        },
        [&] {
            if (source.read_tail) source.read_tail();
        },
        [&](const ProgressSink& here, const BlockSink& here_drain) {
            named_first = AppendRecords(result.first, first, here, false, here_drain);
        },
        [&](const ProgressSink& there, const BlockSink& there_drain) {
            ReserveFor(result.second, second.size(), false);
            named_second = AppendRecords(result.second, second, there, true, there_drain);
        });
    if (!converted) return std::nullopt;
    result.named = named_first + named_second;
    return result;
}

ContactsConversion ConvertText(std::string_view contacts, std::size_t near,
                               const ProgressSink& progress) {
    CsvPieces pieces = ConvertInMemory(
        contacts, near, [&](const PartlyRead& source, bool check_line_ends, std::size_t cut_near) {
            return ConvertPieces(source, check_line_ends, cut_near, progress);
        });
    pieces.first.Append(pieces.second.view());
    return ContactsConversion{std::move(pieces.first).Take(), pieces.named};
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
    OutputFile output(csv_path);
    const BlockSink drain = output.Sink();
    const CsvPieces pieces = ConvertFromFile(
        contacts_path, [&](const PartlyRead& source, bool check_line_ends, std::size_t near) {
            return ConvertPieces(source, check_line_ends, near, progress, drain);
        });
    output.Write(pieces.first.view());
    output.Write(pieces.second.view());
    output.Finish();
    return pieces.named;
}

}  // namespace quarvo
