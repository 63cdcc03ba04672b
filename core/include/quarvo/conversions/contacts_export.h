// SPDX-License-Identifier: MIT
// The contacts conversion with a choice of output: the CSV layouts of
// today's address books, vCard, and the encoding of the file. The default
// choice is ConvertOperaContacts' CSV, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/formats/output_choices.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// Whether `file_name` names a vCard file: it ends in ".vcf", in any case.
[[nodiscard]] bool IsVcardFileName(std::string_view file_name) noexcept;

// Options that make no file an address book reads whole: the message that
// says why, or empty when they fit. A vCard 3.0 file is always UTF-8 (it
// cannot name another character set), so Windows-1252 goes with 2.1 only.
// A vCard never gets a byte-order mark: kUtf8Bom is taken as kUtf8 for it.
[[nodiscard]] std::string ContactsExportProblem(bool vcard, const ContactsExportOptions& options);

// Options refused as ContactsExportProblem says, before anything is read
// or written.
class EContactsOptionsError : public Exception {
  public:
    using Exception::Exception;
};

// Something that looked wrong in one contact, and how often.
struct ContactsWarning {
    std::string_view what;  // one of the k...Warning texts below
    std::string contact;    // its name, in UTF-8
    std::size_t times = 1;
};

struct ContactsExport {
    std::string text;        // the whole file
    std::int32_t named = 0;  // contacts written whose NAME is not empty
    // For each contact with characters the encoding cannot hold, which are
    // written as '?': "name: 'c' (U+XXXX), 'd' (U+XXXX)", in UTF-8.
    std::vector<std::string> replaced;
    std::vector<ContactsWarning> warnings;  // in the file's order
};

// Converts the bytes of a contacts file, read line by line as Opera reads
// it, into vCards (`vcard`) or CSV records of the chosen layout. A file
// whose Options line names another encoding is read as Windows-1252, and
// so is each value that is not valid UTF-8 (warned of). `progress` steps
// once per contact. Never throws on malformed input; throws
// EContactsOptionsError for options ContactsExportProblem refuses.
[[nodiscard]] ContactsExport ExportContactsText(std::string_view contacts, bool vcard,
                                                const ContactsExportOptions& options,
                                                const ProgressSink& progress = {});

struct ContactsExportOutcome {
    ConversionOutcome outcome;
    std::vector<std::string> replaced;      // as ContactsExport::replaced
    std::vector<ContactsWarning> warnings;  // as ContactsExport::warnings
};

// Converts `job` as RunContactsConversion does when the output is a CSV
// file and `options` are the defaults; otherwise as ExportContactsText
// does, the output's name choosing vCard or CSV. A missing input writes
// nothing. Throws EContactsOptionsError for options ContactsExportProblem
// refuses, before anything is read or written; file errors propagate
// unchanged.
ContactsExportOutcome RunContactsExport(const ConversionJob& job,
                                        const ContactsExportOptions& options,
                                        const ProgressSink& progress = {});

// The warnings under which ReportContactsExport names contacts.
inline constexpr std::string_view kReplacedCharactersWarning =
    "characters Windows-1252 cannot hold, written as '?'";
inline constexpr std::string_view kEightBitValueWarning =
    "values not valid UTF-8, read as Windows-1252";
inline constexpr std::string_view kUndefinedBytesWarning =
    "bytes Windows-1252 leaves undefined, read as control characters";
inline constexpr std::string_view kControlCharactersWarning =
    "control characters left out of the vCards";

// Adds a contacts run to `report`: the contacts written, each contact with
// replaced characters, and the other warnings. Nothing when the input was
// missing.
void ReportContactsExport(const ContactsExportOutcome& done, ConversionReport& report);

}  // namespace quarvo
