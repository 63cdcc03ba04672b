// SPDX-License-Identifier: MIT
// Contacts as vCards: 3.0 (RFC 2426), which every current address book
// reads, and 2.1 for Outlook and Windows Contacts.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "formats/output_sinks.h"
#include "model/contact.h"

namespace quarvo::formats {

enum class VcardVersion { k30, k21 };

// The character set the contact's values are in: UTF-8, or an 8-bit code
// page named as 2.1's CHARSET parameter names it ("WINDOWS-1252").
struct VcardCharset {
    std::string_view name = "UTF-8";
    bool utf8 = true;
};

// A contact's values as a card holds them: every line break (Opera's pair,
// CR, LF, CR LF, and in UTF-8 NEL, LINE and PARAGRAPH SEPARATOR) as Opera's
// pair, and no other control character (C0 but the tab, DEL, C1, and a
// 0x02 outside a pair), each of which is left out and counted. Taken before
// the values are encoded, so that a line break is no '?' in Windows-1252.
class VcardText {
  public:
    VcardText(const model::Contact& contact, bool utf8);
    VcardText(const VcardText&) = delete;
    VcardText& operator=(const VcardText&) = delete;

    [[nodiscard]] const model::Contact& contact() const { return contact_; }  // views into this
    [[nodiscard]] std::size_t dropped() const { return dropped_; }

  private:
    std::string Clean(std::string_view value, bool utf8);

    std::array<std::string, 10> values_;
    model::Contact contact_;
    std::size_t dropped_ = 0;
};

// Appends one card for `contact`, lines ending in CR LF. FN and N are
// always written; other properties only when their value is not empty.
// Opera's line-break pairs, CR, LF and the Unicode line breaks become line
// breaks in NOTE, ADR and LABEL and blanks elsewhere; no text value holds
// any other control character: each is left out. Returns how many were.
//
// 3.0 folds its lines at 75 octets, never inside a UTF-8 sequence, and
// escapes as RFC 2426 says. 2.1 writes each property on one line, in
// quoted-printable (no soft line breaks) where a value holds a line break,
// a byte outside ASCII or a character that Evolution, KContacts or
// Thunderbird would take for a separator.
// `pass` is called as PassText says.
std::size_t AppendVcard(std::string& out, const model::Contact& contact, VcardVersion version,
                        const VcardCharset& charset = {}, const PassText& pass = {});

// As AppendVcard, for a contact whose values are already as VcardText
// gives them (in `charset`'s encoding): nothing is cleaned again.
void AppendCleanVcard(std::string& out, const model::Contact& contact, VcardVersion version,
                      const VcardCharset& charset = {}, const PassText& pass = {});

}  // namespace quarvo::formats
