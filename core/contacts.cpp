#include "contacts.h"

#include <array>
#include <bit>
#include <iterator>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "adr_entry.h"
#include "file_layer.h"
#include "line_ends.h"
#include "strman.h"
#include "text_search.h"

namespace quarvo {
namespace {

// Offset of the first of `Bytes` in `text` at or after `from`, or npos.
// Values and entries are a few dozen bytes long, where a library call per
// search costs more than the bytes it reads; sixteen bytes are tested at once.
template <char... Bytes>
std::size_t FindAnyOf(std::string_view text, std::size_t from) noexcept {
    const char* const data = text.data();
    std::size_t i = from;
#if defined(__SSE2__) || defined(_M_X64)
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(Bytes)))), ...);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask));
    }
#endif
    for (; i < text.size(); ++i) {
        if (((data[i] == Bytes) || ...)) return i;
    }
    return std::string_view::npos;
}

// Whether the bytes at `at` are those of `key`; keys are short enough that a
// plain loop beats a call to memcmp.
bool SameBytes(std::string_view key, const char* at) noexcept {
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] != at[i]) return false;
    }
    return true;
}

constexpr std::string_view kContactMarker = "#CONTACT";
constexpr std::string_view kEntryEnd = "ICON=";
// Inside a value, two 0x02 bytes stand for a line break or separate addresses.
constexpr std::string_view kValueBreak = "\x02\x02";

struct Contact {
    std::string_view name, url, description, short_name, active, mail, phone, fax, postal,
        picture;
};

// Each key's first occurrence anywhere in the entry, found in one pass: every
// key ends in '=', so visiting the entry's '=' bytes in order meets each key's
// occurrences in order, and the first one that matches is the first
// occurrence. Ten separate searches would read each entry ten times over.
Contact ReadContact(std::string_view entry) {
    struct Key {
        std::string_view text;
        std::string_view Contact::*value;
    };
    static constexpr Key kKeys[] = {
        {"NAME=", &Contact::name},
        {"URL=", &Contact::url},
        {"DESCRIPTION=", &Contact::description},
        {"SHORT NAME=", &Contact::short_name},
        {"ACTIVE=", &Contact::active},
        {"MAIL=", &Contact::mail},
        {"PHONE=", &Contact::phone},
        {"FAX=", &Contact::fax},
        {"POSTALADDRESS=", &Contact::postal},
        {"PICTUREURL=", &Contact::picture},
    };
    constexpr unsigned kAllFound = (1u << std::size(kKeys)) - 1;

    Contact contact{};
    unsigned found = 0;
    for (std::size_t eq = FindAnyOf<'='>(entry, 0);
         eq != std::string_view::npos && found != kAllFound; eq = FindAnyOf<'='>(entry, eq + 1)) {
        for (unsigned k = 0; k < std::size(kKeys); ++k) {
            const std::string_view key = kKeys[k].text;
            if ((found & (1u << k)) != 0 || eq + 1 < key.size()) continue;
            // The byte before '=' first: it tells most keys apart at once.
            const std::size_t start = eq + 1 - key.size();
            if (entry[eq - 1] != key[key.size() - 2] || !SameBytes(key, entry.data() + start))
                continue;
            found |= 1u << k;
            contact.*kKeys[k].value = StrMan.TextBefore(adr::kCrLf, entry.substr(eq + 1));
        }
    }
    return contact;
}

// Appends `value` for the inside of a quoted CSV field: double quotes are
// doubled, and with `breaks` each marker pair becomes CR LF (pairs taken left
// to right, so three marker bytes give CR LF and one marker byte).
void AppendFieldText(std::string& out, std::string_view value, bool breaks) {
    const auto next = [&](std::size_t from) {
        return breaks ? FindAnyOf<'"', '\x02'>(value, from) : FindAnyOf<'"'>(value, from);
    };
    std::size_t done = 0;
    for (std::size_t i = next(0); i != std::string_view::npos; i = next(i + 1)) {
        if (value[i] == '"') {
            out.append(value.substr(done, i + 1 - done));
            out.push_back('"');
            done = i + 1;
        } else if (i + 1 < value.size() && value[i + 1] == '\x02') {
            out.append(value.substr(done, i - done));
            out.append(adr::kCrLf);
            done = ++i + 1;
        }
    }
    out.append(value.substr(done));
}

void AppendQuoted(std::string& out, std::string_view value, bool breaks = false) {
    out.push_back('"');
    AppendFieldText(out, value, breaks);
    out.push_back('"');
}

// The address book wants the first address bare; it is quoted only when a
// bare field could not hold it.
void AppendFirstAddress(std::string& out, std::string_view address) {
    if (address.find_first_of(",\"\r\n") == std::string_view::npos)
        out.append(address);
    else
        AppendQuoted(out, address);
}

void AppendNotes(std::string& out, const Contact& contact) {
    out.push_back('"');
    AppendFieldText(out, contact.description, true);
    out.append(contact.active == "YES" ? "\r\nActive=YES\r\n" : "\r\nActive=NO\r\n");
    AppendFieldText(out, StrMan.TextAfter(kValueBreak, contact.mail), true);
    out.append("\r\n\"");
}

void AppendRecord(std::string& out, const Contact& contact) {
    out.append(",,,");
    AppendQuoted(out, contact.name);                                 // 4 Name
    out.push_back(',');
    AppendQuoted(out, contact.short_name);                           // 5 Nickname
    out.push_back(',');
    AppendFirstAddress(out, StrMan.TextBefore(kValueBreak, contact.mail));  // 6 E-mail
    out.push_back(',');
    AppendQuoted(out, contact.postal, true);                         // 7 Home Street
    out.append(",,,,,");
    AppendQuoted(out, contact.phone);                                // 12 Home Phone
    out.push_back(',');
    AppendQuoted(out, contact.fax);                                  // 13 Home Fax
    out.append(",,");
    AppendQuoted(out, contact.url);                                  // 15 Personal Web Page
    out.append(",,,,,,");
    AppendQuoted(out, contact.picture);                              // 21 Business Web Page
    out.append(",,,,,,,,");
    AppendNotes(out, contact);                                       // 29 Notes
    out.append(adr::kCrLf);
}

// The conversion proper, of text whose line ends are already CR LF.
ContactsConversion ConvertCrLfContacts(std::string_view contacts, const ProgressSink& progress) {
    ContactsConversion result;
    result.csv.reserve(kContactsCsvHeader.size() + contacts.size() + contacts.size() / 4);
    result.csv.append(kContactsCsvHeader);

    std::string_view rest = contacts;
    while (!rest.empty()) {
        const std::size_t start = FindBytes(rest, kContactMarker);
        if (progress) progress();
        if (start == std::string_view::npos) break;
        // An entry runs from its marker to the next "ICON=", which may lie in a
        // following entry when its own is missing; the next pass starts after
        // that "ICON=", so no stray "ICON=" can make a contact be cut twice.
        const std::string_view after_marker = rest.substr(start + kContactMarker.size());
        const std::size_t end = FindBytes(after_marker, kEntryEnd);
        const std::string_view entry = after_marker.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{}
                                             : after_marker.substr(end + kEntryEnd.size());

        const Contact contact = ReadContact(entry);
        AppendRecord(result.csv, contact);
        if (!contact.name.empty()) ++result.named;
    }
    return result;
}

}  // namespace

ContactsConversion ConvertContactsText(std::string_view contacts, const ProgressSink& progress) {
    if (!HasBareLineFeed(contacts)) return ConvertCrLfContacts(contacts, progress);
    return ConvertCrLfContacts(WithCrLfLineEnds(contacts), progress);
}

std::int32_t ConvertOperaContacts(const std::string& contacts_path, const std::string& csv_path,
                                  const ProgressSink& progress) {
    std::string input;
    if (PathExists(contacts_path)) input = ReadWholeFile(contacts_path);
    // Normalise here rather than inside the conversion, so that the original
    // bytes are released before the CSV text is built.
    if (HasBareLineFeed(input)) input = WithCrLfLineEnds(input);
    ContactsConversion converted = ConvertCrLfContacts(input, progress);
    std::string().swap(input);
    WriteWholeFile(csv_path, converted.csv);
    return converted.named;
}

}  // namespace quarvo
