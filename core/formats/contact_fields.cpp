// SPDX-License-Identifier: MIT
#include "formats/contact_fields.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

}  // namespace

PersonName SplitPersonName(std::string_view name) {
    name = Trimmed(name);
    if (const std::size_t comma = name.find(','); comma != std::string_view::npos)
        return {Trimmed(name.substr(comma + 1)), Trimmed(name.substr(0, comma))};
    const std::size_t blank = name.find_last_of(kBlanks);
    if (blank == std::string_view::npos) return {name, {}};
    return {Trimmed(name.substr(0, blank)), name.substr(blank + 1)};
}

PersonName SplitContactName(const model::Contact& contact) {
    const PersonName name = SplitPersonName(contact.name);
    if (!name.given.empty() || !name.family.empty()) return name;
    return SplitPersonName(contact.short_name);
}

std::vector<std::string_view> ValueLines(std::string_view value) {
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t pair = value.find(model::kValueBreak);
        lines.push_back(value.substr(0, pair));
        if (pair == std::string_view::npos) return lines;
        value.remove_prefix(pair + model::kValueBreak.size());
    }
}

std::vector<std::string_view> MailAddresses(std::string_view mail) {
    std::vector<std::string_view> addresses;
    for (const std::string_view line : ValueLines(mail))
        if (const std::string_view address = Trimmed(line); !address.empty())
            addresses.push_back(address);
    return addresses;
}

std::string_view DisplayName(const model::Contact& contact) {
    if (!Trimmed(contact.name).empty()) return contact.name;
    if (!Trimmed(contact.short_name).empty()) return contact.short_name;
    const std::vector<std::string_view> addresses = MailAddresses(contact.mail);
    return addresses.empty() ? std::string_view{} : addresses.front();
}

std::string JoinValueLines(std::string_view value, std::string_view separator) {
    std::string joined;
    bool first = true;
    for (const std::string_view line : ValueLines(value)) {
        if (!first) joined += separator;
        joined += line;
        first = false;
    }
    return joined;
}

}  // namespace quarvo::formats
