// SPDX-License-Identifier: MIT
// A generated Opera mail folder of any size, for measuring the mail export
// on stores larger than anyone would keep in the repository: accounts.ini
// and store/accountN/yyyy/mm/dd/n.mbs files as Opera 9 and later write them
// (CR LF, Opera's From line, X-Opera-Status), plus drafts. The same seed and
// count always give the same files.
#pragma once

#include <cstdint>
#include <string>

#include "gen_random.h"
#include "opera_gen.h"

namespace quarvo::gen {

// One message file's bytes: number `n` of the store, about `body_bytes` of
// text, one in fifty with "From " lines in its body, one in a hundred with a
// base64 attachment of some hundred kilobytes.
[[nodiscard]] std::string MakeMailMessage(std::uint64_t n, std::size_t body_bytes, Random& random);

// Writes a mail folder of `messages` messages averaging about
// `average_bytes` bytes into `mail_folder` (made if missing). Returns the
// bytes of the .mbs files written.
std::uint64_t WriteMailFolder(const std::string& mail_folder, std::uint64_t messages,
                              std::size_t average_bytes, const Options& options = {});

}  // namespace quarvo::gen
