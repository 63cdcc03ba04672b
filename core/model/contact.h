// SPDX-License-Identifier: MIT
// One contact of an Opera contacts file, as every contacts writer receives it.
#pragma once

#include <string_view>

namespace quarvo::model {

// The values of a contact's keys as the file holds them: slices of the
// file's text, with Opera's line-break pairs (two 0x02 bytes) still inside.
// A key the entry lacks gives an empty value. MAIL may hold several
// addresses, separated by the same pairs.
struct Contact {
    std::string_view name;            // NAME=
    std::string_view url;             // URL=
    std::string_view description;     // DESCRIPTION=
    std::string_view short_name;      // SHORT NAME=
    std::string_view active;          // ACTIVE=
    std::string_view mail;            // MAIL=
    std::string_view phone;           // PHONE=
    std::string_view fax;             // FAX=
    std::string_view postal_address;  // POSTALADDRESS=
    std::string_view picture_url;     // PICTUREURL=
};

// The pair of bytes that stands for a line break inside a value, and
// between the addresses of MAIL.
inline constexpr std::string_view kValueBreak = "\x02\x02";

}  // namespace quarvo::model
