// SPDX-License-Identifier: MIT
// A strict RFC 4180 reader, used to check that the contacts CSV parses as
// any standard reader would see it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::testing {

using CsvRecord = std::vector<std::string>;

// The records of `csv`, each ended by CR LF; nothing when the text is not
// well-formed (a quote inside a bare field, text after a closing quote, an
// unterminated quoted field or a record without its CR LF).
inline std::optional<std::vector<CsvRecord>> ReadCsv(std::string_view csv) {
    std::vector<CsvRecord> records;
    std::size_t i = 0;
    while (i < csv.size()) {
        CsvRecord record;
        for (;;) {
            std::string field;
            if (i < csv.size() && csv[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= csv.size()) return std::nullopt;
                    if (csv[i] == '"') {
                        if (i + 1 < csv.size() && csv[i + 1] == '"') {
                            field.push_back('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field.push_back(csv[i++]);
                }
            } else {
                while (i < csv.size() && csv[i] != ',' && csv[i] != '\r' && csv[i] != '\n') {
                    if (csv[i] == '"') return std::nullopt;
                    field.push_back(csv[i++]);
                }
            }
            record.push_back(std::move(field));
            if (i < csv.size() && csv[i] == ',') {
                ++i;
                continue;
            }
            if (csv.substr(i, 2) == "\r\n") {
                i += 2;
                break;
            }
            return std::nullopt;
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace quarvo::testing
