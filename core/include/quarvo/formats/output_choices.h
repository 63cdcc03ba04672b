// SPDX-License-Identifier: MIT
// The choices a user makes of a contacts output's shape: the CSV layout of
// an address book, the vCard version, the encoding, Opera's trash.
#pragma once

namespace quarvo {

enum class ContactsCsvLayout { kWab, kOutlook, kThunderbird, kGoogle };
enum class ContactsVcardVersion { k30, k21 };
enum class OutputEncoding { kUtf8, kUtf8Bom, kWindows1252 };

struct ContactsExportOptions {
    ContactsCsvLayout layout = ContactsCsvLayout::kWab;      // for a CSV file
    ContactsVcardVersion vcard = ContactsVcardVersion::k30;  // for a vCard file
    OutputEncoding encoding = OutputEncoding::kUtf8;
    // vCards leave out the contacts of Opera's trash folder unless this is set.
    bool keep_trash = false;
};

}  // namespace quarvo
