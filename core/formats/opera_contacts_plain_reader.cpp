// SPDX-License-Identifier: MIT
#include "formats/opera_contacts_plain_reader.h"

#include "formats/adr_lines.h"

namespace quarvo::formats {

void ForEachOperaContact(std::string_view text,
                         const std::function<void(const PlainContact&)>& visit) {
    ForEachAdrEntry(text, [&visit](const AdrEntry& entry) {
        if (entry.kind != AdrEntry::Kind::kContact) return;
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
        visit(read);
    });
}

bool ContactsNameOtherEncoding(std::string_view text) {
    return OptionsNameOtherEncoding(ReadAdrHeader(text).options);
}

}  // namespace quarvo::formats
