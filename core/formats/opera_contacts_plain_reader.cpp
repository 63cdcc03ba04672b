// SPDX-License-Identifier: MIT
#include "formats/opera_contacts_plain_reader.h"

#include "formats/adr_lines.h"

namespace quarvo::formats {

OperaContacts ReadOperaContacts(std::string_view text) {
    const AdrFile file = ReadAdrLines(text);
    OperaContacts read_file;
    read_file.other_encoding = OptionsNameOtherEncoding(file.options);
    for (const AdrEntry& entry : file.entries) {
        if (entry.kind != AdrEntry::Kind::kContact) continue;
        PlainContact read;
        model::Contact& c = read.contact;
        c.name = entry.Value("NAME");
        c.url = entry.Value("URL");
        c.description = entry.Value("DESCRIPTION");
        c.short_name = entry.Value("SHORT NAME");
        c.active = entry.Value("ACTIVE");
        c.mail = entry.Value("MAIL");
        c.phone = entry.Value("PHONE");
        c.fax = entry.Value("FAX");
        c.postal_address = entry.Value("POSTALADDRESS");
        c.picture_url = entry.Value("PICTUREURL");
        read.in_trash = entry.in_trash;
        read_file.contacts.push_back(read);
    }
    return read_file;
}

}  // namespace quarvo::formats
