#include "contacts.h"

#include <array>

#include "adr_entry.h"
#include "file_layer.h"
#include "large_buffer.h"
#include "line_ends.h"
#include "strman.h"
#include "text_search.h"

namespace quarvo {
namespace {

constexpr std::string_view kContactMarker = "#CONTACT";
constexpr std::string_view kEntryEnd = "ICON=";
// Inside a value, two 0x02 bytes stand for a line break or separate addresses.
constexpr std::string_view kValueBreak = "\x02\x02";

struct Contact {
    std::string_view name, url, description, short_name, active, mail, phone, fax, postal, picture;
};

constexpr std::array<std::string_view, 10> kContactKeys{
    "NAME=", "URL=",   "DESCRIPTION=", "SHORT NAME=",    "ACTIVE=",
    "MAIL=", "PHONE=", "FAX=",         "POSTALADDRESS=", "PICTUREURL=",
};

Contact ReadContact(std::string_view entry) {
    const auto v = adr::FirstValues(entry, kContactKeys);
    return Contact{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

// Appends `value` for the inside of a quoted CSV field: double quotes are
// doubled, and with `breaks` each marker pair becomes CR LF (pairs taken left
// to right, so three marker bytes give CR LF and one marker byte).
void AppendFieldText(std::string& out, std::string_view value, bool breaks) {
    const auto next = [&](std::size_t from) {
        return breaks ? adr::FindAnyOf<'"', '\x02'>(value, from) : adr::FindAnyOf<'"'>(value, from);
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
    AppendQuoted(out, contact.name);  // 4 Name
    out.push_back(',');
    AppendQuoted(out, contact.short_name);  // 5 Nickname
    out.push_back(',');
    AppendFirstAddress(out, StrMan.TextBefore(kValueBreak, contact.mail));  // 6 E-mail
    out.push_back(',');
    AppendQuoted(out, contact.postal, true);  // 7 Home Street
    out.append(",,,,,");
    AppendQuoted(out, contact.phone);  // 12 Home Phone
    out.push_back(',');
    AppendQuoted(out, contact.fax);  // 13 Home Fax
    out.append(",,");
    AppendQuoted(out, contact.url);  // 15 Personal Web Page
    out.append(",,,,,,");
    AppendQuoted(out, contact.picture);  // 21 Business Web Page
    out.append(",,,,,,,,");
    AppendNotes(out, contact);  // 29 Notes
    out.append(adr::kCrLf);
}

// The conversion proper, of text whose line ends are already CR LF.
ContactsConversion ConvertCrLfContacts(std::string_view contacts, const ProgressSink& progress) {
    ContactsConversion result;
    // A record of a sparse contact can be half again as long as its entry;
    // reserved pages that are never written cost nothing.
    result.csv.reserve(kContactsCsvHeader.size() + 2 * contacts.size());
    AdviseHugePages(result.csv);
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
