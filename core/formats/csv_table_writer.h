// SPDX-License-Identifier: MIT
// Contacts as CSV records laid out for one address book's import: a layout
// is a table of columns, each saying what it takes from a contact, whether
// it is quoted and what becomes of Opera's line breaks in it. Quotes inside
// a quoted value are doubled (RFC 4180); records end in CR LF.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "formats/output_sinks.h"
#include "model/contact.h"

namespace quarvo::formats {

enum class CsvQuoting {
    kAlways,      // in quotes, also when empty
    kWhenNeeded,  // in quotes only when it holds a comma, a quote, CR or LF
};

// What becomes of Opera's line-break pairs (taken left to right) in a value.
enum class CsvBreaks {
    kKeep,   // the two bytes stay as they are
    kCrLf,   // line breaks, where the importer reads them inside quotes
    kSpace,  // a blank, in the columns an importer reads as one line
};

struct CsvColumn {
    std::string_view name;
    // Appends the column's value, its line breaks made as `breaks` says.
    void (*take)(std::string& out, const model::Contact& contact, CsvBreaks breaks);
    CsvQuoting quoting;
    CsvBreaks breaks;
};

struct CsvLayout {
    std::span<const CsvColumn> columns;
};

// The Windows Address Book's 29 columns, exactly as ConvertOperaContacts
// writes them (the first address bare when it can be, the description, the
// active flag and the further addresses in Notes).
extern const CsvLayout kWabLayout;
// The columns Outlook's import maps by name; up to three addresses.
extern const CsvLayout kOutlookLayout;
// The header Thunderbird's own export writes, which its import maps itself.
extern const CsvLayout kThunderbirdLayout;
// Google Contacts' columns; a third and further addresses share one cell.
extern const CsvLayout kGoogleLayout;

// The header line: the column names joined by commas, and CR LF.
void AppendCsvHeader(std::string& out, const CsvLayout& layout);

// One record for `contact`, with its CR LF.
void AppendCsvRecord(std::string& out, const CsvLayout& layout, const model::Contact& contact,
                     const PassText& pass = {});

}  // namespace quarvo::formats
