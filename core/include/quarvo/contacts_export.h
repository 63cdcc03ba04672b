// SPDX-License-Identifier: MIT
// The contacts conversion with a choice of output: the CSV layouts of
// today's address books, vCard, and the encoding of the file. The default
// choice is ConvertOperaContacts' CSV, byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/callbacks.h"
#include "quarvo/conversion_report.h"
#include "quarvo/conversion_run.h"

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

// Whether `file_name` names a vCard file: it ends in ".vcf", in any case.
[[nodiscard]] bool IsVcardFileName(std::string_view file_name) noexcept;

struct ContactsExport {
    std::string text;        // the whole file
    std::int32_t named = 0;  // contacts written whose NAME is not empty
    // For each contact with characters the encoding cannot hold, which are
    // written as '?': "name: 'c' (U+XXXX), 'd' (U+XXXX)", in UTF-8.
    std::vector<std::string> replaced;
};

// Converts the bytes of a contacts file, read line by line as Opera reads
// it, into vCards (`vcard`) or CSV records of the chosen layout. A file
// that is not UTF-8, or whose Options line names another encoding, is read
// as Windows-1252. `progress` steps once per contact. Never throws on
// malformed input.
[[nodiscard]] ContactsExport ExportContactsText(std::string_view contacts, bool vcard,
                                                const ContactsExportOptions& options,
                                                const ProgressSink& progress = {});

struct ContactsExportOutcome {
    ConversionOutcome outcome;
    std::vector<std::string> replaced;  // as ContactsExport::replaced
};

// Converts `job` as RunContactsConversion does when the output is a CSV
// file and `options` are the defaults; otherwise as ExportContactsText
// does, the output's name choosing vCard or CSV. A missing input writes
// nothing. File errors propagate unchanged.
ContactsExportOutcome RunContactsExport(const ConversionJob& job,
                                        const ContactsExportOptions& options,
                                        const ProgressSink& progress = {});

// The warning under which ReportContactsExport names the contacts whose
// characters were written as '?'.
inline constexpr std::string_view kReplacedCharactersWarning =
    "characters Windows-1252 cannot hold, written as '?'";

// Adds a contacts run to `report`: the contacts written, and each contact
// with replaced characters. Nothing when the input was missing.
void ReportContactsExport(const ContactsExportOutcome& done, ConversionReport& report);

}  // namespace quarvo
