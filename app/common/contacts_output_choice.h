// SPDX-License-Identifier: MIT
// The main window's "Contacts output" menu as one set of choices: the file's
// format (one CSV layout or one vCard version, never one of each), its
// encoding, and whether vCards keep Opera's trash. The output file's name
// and the format agree: a vCard is a ".vcf" file, and a ".vcf" file a vCard.
#pragma once

#include <string>
#include <string_view>

#include "quarvo/conversions/contacts_export.h"

namespace quarvo {

enum class ContactsFormat { kWabCsv, kOutlookCsv, kThunderbirdCsv, kGoogleCsv, kVcard30, kVcard21 };

struct ContactsOutputChoice {
    ContactsFormat format = ContactsFormat::kWabCsv;
    OutputEncoding encoding = OutputEncoding::kUtf8;
    bool keep_trash = false;
};

[[nodiscard]] bool IsVcard(ContactsFormat format) noexcept;

// Whether the menu offers `encoding` for `format`: a vCard 3.0 file is never
// written in Windows-1252, which that version does not allow.
[[nodiscard]] bool OffersEncoding(ContactsFormat format, OutputEncoding encoding) noexcept;

// What the contacts conversion is given for `choice`.
[[nodiscard]] ContactsExportOptions ExportOptionsOf(const ContactsOutputChoice& choice);

// The contacts output field's hint, naming the kind of file it is written as.
[[nodiscard]] std::string ContactsOutputHint(ContactsFormat format);

// `name` ending in the extension of `format`'s files, ".vcf" or ".csv", in
// place of the extension of its last part, if any; an empty name stays empty.
[[nodiscard]] std::string WithContactsExtension(std::string_view name, ContactsFormat format);

}  // namespace quarvo
