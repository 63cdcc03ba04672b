// SPDX-License-Identifier: MIT
#include "formats/csv_table_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "formats/contact_fields.h"

namespace quarvo::formats {
namespace {

using model::Contact;
using model::kValueBreak;

std::string_view LineSeparator(CsvBreaks breaks) {
    switch (breaks) {
        case CsvBreaks::kKeep:
            return kValueBreak;
        case CsvBreaks::kCrLf:
            return "\r\n";
        case CsvBreaks::kSpace:
            return " ";
    }
    return kValueBreak;
}

// Line by line into `out`, not joined into a string of its own first.
void Put(std::string& out, std::string_view value, CsvBreaks breaks) {
    if (breaks == CsvBreaks::kKeep) {
        out += value;
        return;
    }
    bool first = true;
    for (const std::string_view line : ValueLines(value)) {
        if (!first) out += LineSeparator(breaks);
        out += line;
        first = false;
    }
}

std::string_view MailAt(const Contact& c, std::size_t index) {
    const std::vector<std::string_view> addresses = MailAddresses(c.mail);
    return index < addresses.size() ? addresses[index] : std::string_view{};
}

// Notes built of the description and then, a line each, what the layout's
// other columns cannot hold.
void PutNotes(std::string& out, const Contact& c, CsvBreaks breaks, std::size_t mail_columns,
              bool nickname, bool picture) {
    std::vector<std::string> lines;
    if (!c.description.empty()) {
        lines.emplace_back();
        Put(lines.back(), c.description, breaks);
    }
    const std::vector<std::string_view> addresses = MailAddresses(c.mail);
    for (std::size_t i = mail_columns; i < addresses.size(); ++i) lines.emplace_back(addresses[i]);
    if (nickname && !c.short_name.empty()) {
        lines.emplace_back("Nickname: ");
        Put(lines.back(), c.short_name, breaks);
    }
    if (picture && !c.picture_url.empty()) {
        lines.emplace_back("Picture: ");
        Put(lines.back(), c.picture_url, breaks);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += LineSeparator(breaks);
        out += lines[i];
    }
}

void Nothing(std::string&, const Contact&, CsvBreaks) {}
// A column that takes one of the contact's values as it stands.
template <std::string_view Contact::*kValue>
void ValueOf(std::string& out, const Contact& c, CsvBreaks b) {
    Put(out, c.*kValue, b);
}
constexpr auto Name = ValueOf<&Contact::name>;
constexpr auto ShortName = ValueOf<&Contact::short_name>;
constexpr auto Phone = ValueOf<&Contact::phone>;
constexpr auto Fax = ValueOf<&Contact::fax>;
constexpr auto Url = ValueOf<&Contact::url>;
constexpr auto PictureUrl = ValueOf<&Contact::picture_url>;
constexpr auto PostalAddress = ValueOf<&Contact::postal_address>;
void DisplayNameOf(std::string& out, const Contact& c, CsvBreaks b) {
    Put(out, DisplayName(c), b);
}
void GivenName(std::string& out, const Contact& c, CsvBreaks b) {
    Put(out, SplitContactName(c).given, b);
}
void FamilyName(std::string& out, const Contact& c, CsvBreaks b) {
    Put(out, SplitContactName(c).family, b);
}
template <std::size_t Index>
void Mail(std::string& out, const Contact& c, CsvBreaks) {
    out += MailAt(c, Index);
}

// The first line of the postal address, and the others joined on one line.
void StreetFirstLine(std::string& out, const Contact& c, CsvBreaks) {
    out += ValueLines(c.postal_address).front();
}
void StreetOtherLines(std::string& out, const Contact& c, CsvBreaks) {
    const std::vector<std::string_view> lines = ValueLines(c.postal_address);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (i > 1) out += ", ";
        out += lines[i];
    }
}

// The address book takes the first address as it stands, up to the first
// pair, however odd it is.
void WabFirstMail(std::string& out, const Contact& c, CsvBreaks) {
    out += c.mail.substr(0, c.mail.find(kValueBreak));
}
void WabNotes(std::string& out, const Contact& c, CsvBreaks b) {
    Put(out, c.description, b);
    out += c.active == "YES" ? "\r\nActive=YES\r\n" : "\r\nActive=NO\r\n";
    const std::size_t pair = c.mail.find(kValueBreak);
    if (pair != std::string_view::npos) Put(out, c.mail.substr(pair + kValueBreak.size()), b);
    out += "\r\n";
}

void OutlookNotes(std::string& out, const Contact& c, CsvBreaks b) {
    PutNotes(out, c, b, 3, true, true);
}
void ThunderbirdNotes(std::string& out, const Contact& c, CsvBreaks b) {
    PutNotes(out, c, b, 2, false, true);
}
void GoogleNotes(std::string& out, const Contact& c, CsvBreaks b) {
    PutNotes(out, c, b, SIZE_MAX, false, false);
}

// Google marks the preferred value of a kind with "* "; the third cell
// takes every further address, as its own export joins them.
template <std::size_t Index>
void GoogleMailType(std::string& out, const Contact& c, CsvBreaks) {
    if (!MailAt(c, Index).empty()) out += Index == 0 ? "* Other" : "Other";
}
void GoogleFurtherMails(std::string& out, const Contact& c, CsvBreaks) {
    const std::vector<std::string_view> addresses = MailAddresses(c.mail);
    for (std::size_t i = 2; i < addresses.size(); ++i) {
        if (i > 2) out += " ::: ";
        out += addresses[i];
    }
}
template <const std::string_view Contact::*Field, const char* Type>
void GoogleType(std::string& out, const Contact& c, CsvBreaks) {
    if (!(c.*Field).empty()) out += Type;
}
constexpr char kHome[] = "Home";
constexpr char kHomeFax[] = "Home Fax";
constexpr char kHomePage[] = "Home Page";

constexpr CsvColumn Empty(std::string_view name) {
    return {name, Nothing, CsvQuoting::kWhenNeeded, CsvBreaks::kKeep};
}
constexpr CsvColumn WabQuoted(std::string_view name, decltype(CsvColumn::take) take,
                              CsvBreaks breaks = CsvBreaks::kKeep) {
    return {name, take, CsvQuoting::kAlways, breaks};
}
// A column of the newer layouts: quoted only where needed, on one line
// unless the importer reads line breaks in it.
constexpr CsvColumn Column(std::string_view name, decltype(CsvColumn::take) take,
                           CsvBreaks breaks = CsvBreaks::kSpace) {
    return {name, take, CsvQuoting::kWhenNeeded, breaks};
}

constexpr std::array kWabColumns{
    Empty("First Name"),
    Empty("Last Name"),
    Empty("Middle Name"),
    WabQuoted("Name", Name),
    WabQuoted("Nickname", ShortName),
    CsvColumn{"E-mail Address", WabFirstMail, CsvQuoting::kWhenNeeded, CsvBreaks::kKeep},
    WabQuoted("Home Street", PostalAddress, CsvBreaks::kCrLf),
    Empty("Home City"),
    Empty("Home Postal Code"),
    Empty("Home State"),
    Empty("Home Country/Region"),
    WabQuoted("Home Phone", Phone),
    WabQuoted("Home Fax", Fax),
    Empty("Mobile Phone"),
    WabQuoted("Personal Web Page", Url),
    Empty("Business Street"),
    Empty("Business City"),
    Empty("Business Postal Code"),
    Empty("Business State"),
    Empty("Business Country/Region"),
    WabQuoted("Business Web Page", PictureUrl),
    Empty("Business Phone"),
    Empty("Business Fax"),
    Empty("Pager"),
    Empty("Company"),
    Empty("Job Title"),
    Empty("Department"),
    Empty("Office Location"),
    WabQuoted("Notes", WabNotes, CsvBreaks::kCrLf),
};

constexpr std::array kOutlookColumns{
    Column("First Name", GivenName),
    Column("Last Name", FamilyName),
    Column("E-mail Address", Mail<0>),
    Column("E-mail 2 Address", Mail<1>),
    Column("E-mail 3 Address", Mail<2>),
    Column("Home Street", PostalAddress, CsvBreaks::kCrLf),
    Column("Home Phone", Phone),
    Column("Home Fax", Fax),
    Column("Web Page", Url),
    Column("Notes", OutlookNotes, CsvBreaks::kCrLf),
};

constexpr std::array kThunderbirdColumns{
    Column("First Name", GivenName),
    Column("Last Name", FamilyName),
    Column("Display Name", DisplayNameOf),
    Column("Nickname", ShortName),
    Column("Primary Email", Mail<0>),
    Column("Secondary Email", Mail<1>),
    Empty("Screen Name"),
    Empty("Work Phone"),
    Column("Home Phone", Phone),
    Column("Fax Number", Fax),
    Empty("Pager Number"),
    Empty("Mobile Number"),
    Column("Home Address", StreetFirstLine),
    Column("Home Address 2", StreetOtherLines),
    Empty("Home City"),
    Empty("Home State"),
    Empty("Home ZipCode"),
    Empty("Home Country"),
    Empty("Work Address"),
    Empty("Work Address 2"),
    Empty("Work City"),
    Empty("Work State"),
    Empty("Work ZipCode"),
    Empty("Work Country"),
    Empty("Job Title"),
    Empty("Department"),
    Empty("Organization"),
    Column("Web Page 1", Url),
    Empty("Web Page 2"),
    Empty("Birth Year"),
    Empty("Birth Month"),
    Empty("Birth Day"),
    Empty("Custom 1"),
    Empty("Custom 2"),
    Empty("Custom 3"),
    Empty("Custom 4"),
    Column("Notes", ThunderbirdNotes, CsvBreaks::kCrLf),
};

// The header of Google Contacts' own export today, up to the columns a
// contact of Opera fills; the person's name is made of the first and last
// names, as Google's import makes it.
constexpr std::array kGoogleColumns{
    Column("First Name", GivenName),
    Empty("Middle Name"),
    Column("Last Name", FamilyName),
    Empty("Phonetic First Name"),
    Empty("Phonetic Middle Name"),
    Empty("Phonetic Last Name"),
    Empty("Name Prefix"),
    Empty("Name Suffix"),
    Column("Nickname", ShortName),
    Empty("File As"),
    Empty("Organization Name"),
    Empty("Organization Title"),
    Empty("Organization Department"),
    Empty("Birthday"),
    Column("Notes", GoogleNotes, CsvBreaks::kCrLf),
    Column("Photo", PictureUrl),
    Empty("Labels"),
    Column("E-mail 1 - Label", GoogleMailType<0>),
    Column("E-mail 1 - Value", Mail<0>),
    Column("E-mail 2 - Label", GoogleMailType<1>),
    Column("E-mail 2 - Value", Mail<1>),
    Column("E-mail 3 - Label", GoogleMailType<2>),
    Column("E-mail 3 - Value", GoogleFurtherMails),
    Column("Phone 1 - Label", GoogleType<&Contact::phone, kHome>),
    Column("Phone 1 - Value", Phone),
    Column("Phone 2 - Label", GoogleType<&Contact::fax, kHomeFax>),
    Column("Phone 2 - Value", Fax),
    Column("Address 1 - Label", GoogleType<&Contact::postal_address, kHome>),
    Column("Address 1 - Formatted", PostalAddress, CsvBreaks::kCrLf),
    Empty("Address 1 - Street"),
    Empty("Address 1 - City"),
    Empty("Address 1 - PO Box"),
    Empty("Address 1 - Region"),
    Empty("Address 1 - Postal Code"),
    Empty("Address 1 - Country"),
    Empty("Address 1 - Extended Address"),
    Column("Website 1 - Label", GoogleType<&Contact::url, kHomePage>),
    Column("Website 1 - Value", Url),
};

// One pass over the bytes: a search for any of a set would call memchr
// once per byte.
bool NeedsQuotes(std::string_view value) {
    for (const char c : value)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

// A giant value goes on a mebibyte at a time.
constexpr std::size_t kPiece = std::size_t{1} << 20;

void MaybePass(const std::string& out, const PassText& pass) {
    if (pass && out.size() >= kPiece) pass();
}

void PutPlain(std::string& out, std::string_view text, const PassText& pass) {
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        out.append(text.substr(at, kPiece));
        MaybePass(out, pass);
    }
}

void PutField(std::string& out, std::string_view value, CsvQuoting quoting, const PassText& pass) {
    if (quoting == CsvQuoting::kWhenNeeded && !NeedsQuotes(value)) {
        PutPlain(out, value, pass);
        return;
    }
    out += '"';
    // In runs between the quotes, each quote doubled.
    for (std::size_t at = 0; at < value.size();) {
        const std::size_t quote = std::min(value.find('"', at), value.size());
        PutPlain(out, value.substr(at, quote - at), pass);
        if (quote == value.size()) break;
        out += "\"\"";
        MaybePass(out, pass);
        at = quote + 1;
    }
    out += '"';
}

}  // namespace

const CsvLayout kWabLayout{kWabColumns};
const CsvLayout kOutlookLayout{kOutlookColumns};
const CsvLayout kThunderbirdLayout{kThunderbirdColumns};
const CsvLayout kGoogleLayout{kGoogleColumns};

void AppendCsvHeader(std::string& out, const CsvLayout& layout) {
    bool first = true;
    for (const CsvColumn& column : layout.columns) {
        if (!first) out += ',';
        out += column.name;
        first = false;
    }
    out += "\r\n";
}

void AppendCsvRecord(std::string& out, const CsvLayout& layout, const model::Contact& contact,
                     const PassText& pass) {
    std::string value;
    bool first = true;
    for (const CsvColumn& column : layout.columns) {
        if (!first) out += ',';
        first = false;
        value.clear();
        column.take(value, contact, column.breaks);
        PutField(out, value, column.quoting, pass);
    }
    out += "\r\n";
}

}  // namespace quarvo::formats
