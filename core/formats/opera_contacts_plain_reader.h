// SPDX-License-Identifier: MIT
// The contacts of an Opera contacts file, read line by line as Opera reads
// them, for the writers of the newer outputs (vCard, the CSV layouts). The
// Windows Address Book's CSV keeps its own tuned reader.
#pragma once

#include <functional>
#include <string_view>

#include "model/contact.h"

namespace quarvo::formats {

struct PlainContact {
    model::Contact contact;
    bool in_trash = false;  // inside Opera's trash folder: deleted by its user
};

// Hands the contacts of `text` to `visit` one at a time, in the file's
// order, without holding them all; the views point into `text`. Keys are
// matched whole ("NAME" is not found inside "SHORT NAME"), the first line
// of a key wins. Never fails.
void ForEachOperaContact(std::string_view text,
                         const std::function<void(const PlainContact&)>& visit);

// Whether the file names an encoding other than UTF-8 on its Options line.
[[nodiscard]] bool ContactsNameOtherEncoding(std::string_view text);

}  // namespace quarvo::formats
