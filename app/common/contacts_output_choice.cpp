// SPDX-License-Identifier: MIT
#include "contacts_output_choice.h"

#include "quarvo/files/file_layer.h"
#include "window_layouts.h"

namespace quarvo {

bool IsVcard(ContactsFormat format) noexcept {
    return format == ContactsFormat::kVcard30 || format == ContactsFormat::kVcard21;
}

bool OffersEncoding(ContactsFormat format, OutputEncoding encoding) noexcept {
    return !(format == ContactsFormat::kVcard30 && encoding == OutputEncoding::kWindows1252);
}

ContactsExportOptions ExportOptionsOf(const ContactsOutputChoice& choice) {
    ContactsExportOptions options;
    switch (choice.format) {
        case ContactsFormat::kOutlookCsv:
            options.layout = ContactsCsvLayout::kOutlook;
            break;
        case ContactsFormat::kThunderbirdCsv:
            options.layout = ContactsCsvLayout::kThunderbird;
            break;
        case ContactsFormat::kGoogleCsv:
            options.layout = ContactsCsvLayout::kGoogle;
            break;
        case ContactsFormat::kVcard21:
            options.vcard = ContactsVcardVersion::k21;
            break;
        case ContactsFormat::kWabCsv:
        case ContactsFormat::kVcard30:
            break;
    }
    options.encoding = choice.encoding;
    options.keep_trash = choice.keep_trash;
    return options;
}

std::string ContactsOutputHint(ContactsFormat format) {
    const char* kind = "Outlook-Express compatible CSV";
    switch (format) {
        case ContactsFormat::kOutlookCsv:
            kind = "Outlook compatible CSV";
            break;
        case ContactsFormat::kThunderbirdCsv:
            kind = "Thunderbird compatible CSV";
            break;
        case ContactsFormat::kGoogleCsv:
            kind = "Google Contacts compatible CSV";
            break;
        case ContactsFormat::kVcard30:
            kind = "vCard 3.0";
            break;
        case ContactsFormat::kVcard21:
            kind = "vCard 2.1";
            break;
        case ContactsFormat::kWabCsv:
            break;
    }
    return std::string(layouts::kNameHint) + "where you want to store your \n" + kind +
           " \ncontacts file.";
}

std::string WithContactsExtension(std::string_view name, ContactsFormat format) {
    if (name.empty()) return {};
    std::size_t part = name.find_last_of(kPathSeparator);
#ifdef _WIN32
    // Windows takes either slash between the parts of a name.
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos && (part == std::string_view::npos || slash > part))
        part = slash;
#endif
    part = part == std::string_view::npos ? 0 : part + 1;
    const std::size_t dot = name.find_last_of('.');
    // A dot that starts the last part names a hidden file, not an extension.
    const std::size_t stem_end = dot != std::string_view::npos && dot > part ? dot : name.size();
    return std::string(name.substr(0, stem_end)) + (IsVcard(format) ? ".vcf" : ".csv");
}

}  // namespace quarvo
