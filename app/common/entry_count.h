// SPDX-License-Identifier: MIT
// The main window's count of an Opera file's entries for its status bar and
// readiness. The file is read in parts, so that the count can run off the
// window's thread and end as soon as the name it was asked for has changed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

struct EntryCount {
    // Occurrences of the marker, held at INT32_MAX.
    std::int32_t count = 0;
    // The name is a plain file that was read to its end.
    bool readable = false;
    // Why a plain file could not be read (the file layer's message).
    std::optional<std::string> error;
    // Given up because `cancelled` was set; nothing else in it holds.
    bool cancelled = false;
};

inline constexpr std::size_t kEntryCountPartBytes = std::size_t{1} << 20;

// Counts `marker` in the file `name` as CountOccurrences counts it in the
// whole text, for a marker that cannot begin inside another of its own
// occurrences ("#URL", "#CONTACT"). A name that is no plain file counts
// nothing and is not an error: a folder is a step on the way while a name is
// typed, and opening a pipe would wait for a writer. `cancelled` is looked
// at before each part of `part_bytes`.
[[nodiscard]] EntryCount CountEntries(const std::string& name, std::string_view marker,
                                      const std::atomic<bool>& cancelled,
                                      std::size_t part_bytes = kEntryCountPartBytes);

}  // namespace quarvo
