// SPDX-License-Identifier: MIT
// The contacts of an Opera contacts file, read line by line as Opera reads
// them, for the writers of the newer outputs (vCard, the CSV layouts). The
// Windows Address Book's CSV keeps its own tuned reader.
#pragma once

#include <string_view>
#include <vector>

#include "model/contact.h"

namespace quarvo::formats {

struct PlainContact {
    model::Contact contact;
    bool in_trash = false;  // inside Opera's trash folder: deleted by its user
};

struct OperaContacts {
    std::vector<PlainContact> contacts;  // in the file's order
    // The file names an encoding other than UTF-8 on its Options line.
    bool other_encoding = false;
};

// The contacts of `text`; the views point into it. Keys are matched whole
// ("NAME" is not found inside "SHORT NAME"), the first line of a key wins.
// Never fails.
[[nodiscard]] OperaContacts ReadOperaContacts(std::string_view text);

}  // namespace quarvo::formats
