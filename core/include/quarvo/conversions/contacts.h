// SPDX-License-Identifier: MIT
// Opera contacts file (contacts.adr) to a comma-separated values file laid
// out for the Windows Address Book's import.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "quarvo/base/callbacks.h"
#include "quarvo/formats/file_texts.h"

namespace quarvo {

struct ContactsConversion {
    std::string csv;         // the whole CSV file
    std::int32_t named = 0;  // records whose NAME value is not empty
};

// Converts the bytes of a contacts file. `progress` (may be empty) is called
// once per pass over the entries. Never throws on malformed input.
[[nodiscard]] ContactsConversion ConvertContactsText(std::string_view contacts,
                                                     const ProgressSink& progress = {});

// Reads `contacts_path`, converts it and writes the CSV file, also when no
// contact was found. Returns the number of named contacts. File errors
// propagate (see file_layer.h); a missing or unreadable contacts file is an
// EFOpenError and leaves the CSV file untouched. Callers that take a missing
// file as nothing to convert use RunContactsConversion (conversion_run.h).
std::int32_t ConvertOperaContacts(const std::string& contacts_path, const std::string& csv_path,
                                  const ProgressSink& progress = {});

namespace detail {

// ConvertContactsText with its text cut in two near offset `near` (not at all
// when `near` lies past the end) and the parts converted side by side. Large
// texts are cut halfway; tests cut anywhere.
[[nodiscard]] ContactsConversion ConvertContactsTextCutNear(std::string_view contacts,
                                                            std::size_t near,
                                                            const ProgressSink& progress = {});

}  // namespace detail

}  // namespace quarvo
