// SPDX-License-Identifier: MIT
#include "formats/opera_contacts_reader.h"

#include <string>

#include "text/line_ends.h"

namespace quarvo::formats {

void ForEachOperaContact(std::string_view text,
                         const std::function<void(const model::Contact&)>& on_contact) {
    if (NeedsCrLfLineEnds(text)) {
        const std::string crlf = WithCrLfLineEnds(text);
        OperaContactsReader::ForEach(crlf, {}, true, on_contact);
    } else {
        OperaContactsReader::ForEach(text, {}, true, on_contact);
    }
}

}  // namespace quarvo::formats
