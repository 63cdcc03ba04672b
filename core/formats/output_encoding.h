// SPDX-License-Identifier: MIT
// The encoding of an output file, applied to each contact's values before
// a writer lays them out (a vCard 2.1 writer must quote the target's own
// bytes); everything the writers add themselves is ASCII.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quarvo/formats/output_choices.h"

namespace quarvo::formats {

// What the file starts with: the byte-order mark for kUtf8Bom, else nothing.
[[nodiscard]] std::string_view EncodingPreamble(OutputEncoding encoding) noexcept;

// `utf8` in `encoding`. UTF-8 passes unchanged. Windows-1252 takes each
// character it holds; each other one is written as '?' and added to
// `replaced` unless already there. A byte that is not part of a UTF-8
// sequence is kept as it is.
[[nodiscard]] std::string EncodeText(std::string_view utf8, OutputEncoding encoding,
                                     std::vector<char32_t>& replaced);

}  // namespace quarvo::formats
