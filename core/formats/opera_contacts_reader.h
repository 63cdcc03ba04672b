// SPDX-License-Identifier: MIT
// The contacts of an Opera contacts file (contacts.adr), read in one tuned
// walk. Not part of the public interface.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

#include "formats/adr_entry.h"
#include "model/contact.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/text/text_search.h"
#include "text/text_cut.h"

namespace quarvo::formats {

class OperaContactsReader {
  public:
    // Where `window` (the start of a text, or all of it) can be cut into two
    // runs of whole contacts: after the first "ICON=" from `near` on, or
    // before the first line from there that opens with '#', whichever comes
    // first. Every pass over the entries starts after an "ICON=" (which ended
    // an entry or lay between entries) or at such a line (which ended the
    // entry before it), so a pass over the whole meets this one too. Only
    // the bytes from two before `near` on are read.
    [[nodiscard]] static std::optional<TextCut> FindCut(std::string_view window,
                                                        std::size_t near) noexcept {
        const std::size_t icon = FindBytes(window, kEntryEnd, near);
        const std::size_t after_icon = icon == adr::kNone ? adr::kNone : icon + kEntryEnd.size();
        const std::size_t line =
            FindBytes(window.substr(0, after_icon), kMarkerLine, near < 2 ? 0 : near - 2);
        if (line != adr::kNone) return TextCut{line + 2, line + 2};
        if (icon == adr::kNone) return std::nullopt;
        return TextCut{after_icon, after_icon};
    }

    // Hands each contact of `text` (CR LF line ends), in order, to
    // `on_contact(const model::Contact&)`; the values are slices of `text`.
    // `progress` steps once per pass over the entries; the last pass, which
    // finds no contact, steps only when `ends_text` is set (a text cut after
    // its first part leaves that pass to the second).
    //
    // An entry runs from its marker to the next "ICON=", or to the next line
    // that opens with '#' (the next entry's marker, where its own "ICON=" is
    // missing); the next pass starts after that "ICON=", or at that line, so
    // no stray "ICON=" can make a contact be read twice.
    // Each value is the text after its key's first occurrence in the entry,
    // up to the next CR LF or the end of the entry. One walk over the '#',
    // '=' and CR bytes finds markers, entry ends, keys and line ends alike.
    template <class OnContact>
    static void ForEach(std::string_view text, const ProgressSink& progress, bool ends_text,
                        OnContact&& on_contact) {
        const char* const data = text.data();
        adr::ByteHits<'#', '=', '\r'> hits(text, 0);
        adr::EntryValues<kKeyCount> values;
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
                if (progress && ends_text) progress();
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
                } else if (data[at] == '\r') {
                    // Before the entry's end every CR LF lies inside it.
                    if (at + 1 < text.size() && data[at + 1] == '\n') values.CloseAt(at);
                } else if (data[at - 1] == '\n' && data[at - 2] == '\r') {
                    // A '#' that opens a line: the entry had no "ICON=" of its own.
                    end = at;
                    rest = at;
                    break;
                }
            }
            values.CloseAt(end);
            if (rest == end)
                hits.Rewind(rest);  // the marker that ended the entry starts the next search
            else
                hits.SkipTo(rest);

            const model::Contact contact{values.Of(data, kName),        values.Of(data, kUrl),
                                         values.Of(data, kDescription), values.Of(data, kShortName),
                                         values.Of(data, kActive),      values.Of(data, kMail),
                                         values.Of(data, kPhone),       values.Of(data, kFax),
                                         values.Of(data, kPostal),      values.Of(data, kPicture)};
            on_contact(contact);
        }
    }

  private:
    static constexpr std::string_view kContactMarker = "#CONTACT";
    static constexpr std::string_view kEntryEnd = "ICON=";
    static constexpr std::string_view kMarkerLine = "\r\n#";

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
    static constexpr adr::KeySet<kKeyCount> kKeys{std::array<std::string_view, kKeyCount>{
        "NAME=", "URL=", "DESCRIPTION=", "SHORT NAME=", "ACTIVE=", "MAIL=", "PHONE=", "FAX=",
        "POSTALADDRESS=", "PICTUREURL="}};
};

// The contacts the conversion reads from the bytes of a contacts file, each
// handed to `on_contact` while its values (slices of the text, or of its
// CR LF copy) are alive. A text without CR LF whose lines end in LF or CR
// alone is read as its CR LF copy, as the conversion reads it; so the
// records given to any contacts writer are the ones the address-book CSV is
// made from.
void ForEachOperaContact(std::string_view text,
                         const std::function<void(const model::Contact&)>& on_contact);

}  // namespace quarvo::formats
