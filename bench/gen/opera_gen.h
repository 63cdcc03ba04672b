// SPDX-License-Identifier: MIT
// Deterministic generator of realistic Opera files of any size, for the
// benchmarks, the fuzz seeds and the peak-memory measurement. The same seed
// and size always give the same bytes, on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarvo::gen {

struct Options {
    std::uint64_t seed = 20060529;
    // Opera on Unix writes LF alone; on Windows CR LF.
    bool bare_line_feeds = false;
};

// A contacts file (contacts.adr) of at least `min_bytes` bytes: every key the
// converter reads, one to four mail addresses, descriptions and postal
// addresses with the 0x02 0x02 line marker, contact folders and a trash
// folder. It stops at the first entry boundary past `min_bytes`.
[[nodiscard]] std::string MakeContacts(std::size_t min_bytes, const Options& options = {});

// A hotlist (opera6.adr, version 2.0) of at least `min_bytes` bytes: a trash
// folder, folders nested up to five deep, separators, descriptions, visited
// dates on some bookmarks, and names in several scripts (UTF-8). Every folder
// opened is closed again by the end of the file.
[[nodiscard]] std::string MakeHotlist(std::size_t min_bytes, const Options& options = {});

// A notes file (notes.adr) of at least `min_bytes` bytes: notes of a title
// line and up to forty lines (empty ones among them), most with the URL of
// their page, in folders nested up to four deep, separators, and a trash
// folder that holds twenty of them. Titles repeat within a folder.
[[nodiscard]] std::string MakeNotes(std::size_t min_bytes, const Options& options = {});

}  // namespace quarvo::gen
