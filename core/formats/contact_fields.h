// SPDX-License-Identifier: MIT
// The parts of a contact that the newer writers share: its name as address
// books split it, its mail addresses one by one, its value lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/contact.h"

namespace quarvo::formats {

struct PersonName {
    std::string_view given;
    std::string_view family;
};

// "Family, Given" is taken as written; otherwise the last word is the family
// name and the words before it the given names, as Outlook and Thunderbird
// split a typed name. One word (or an address) is a given name alone.
[[nodiscard]] PersonName SplitPersonName(std::string_view name);

// The pieces of `value` between Opera's line-break pairs, taken left to right.
[[nodiscard]] std::vector<std::string_view> ValueLines(std::string_view value);

// The addresses of a MAIL value, blanks around them trimmed, empty ones left out.
[[nodiscard]] std::vector<std::string_view> MailAddresses(std::string_view mail);

// The name to split into given and family names: NAME, else SHORT NAME
// (never a mail address).
[[nodiscard]] PersonName SplitContactName(const model::Contact& contact);

// The name a card is filed under: NAME, else SHORT NAME, else the first address.
[[nodiscard]] std::string_view DisplayName(const model::Contact& contact);

// `value` with each line-break pair (taken left to right) replaced by `separator`.
[[nodiscard]] std::string JoinValueLines(std::string_view value, std::string_view separator);

}  // namespace quarvo::formats
