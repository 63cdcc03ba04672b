// SPDX-License-Identifier: MIT
// Generated Opera files shared by the benchmarks, made once per size so that
// generating them never counts in a measurement.
#pragma once

#include <cstddef>
#include <string>

namespace quarvo::bench {

inline constexpr std::size_t kMiB = 1024 * 1024;

// A contacts file of `mib` MiB (to the next entry boundary).
const std::string& ContactsInput(std::size_t mib);

// A hotlist of `mib` MiB (to the next entry boundary).
const std::string& HotlistInput(std::size_t mib);

// A notes file of `mib` MiB (to the next entry boundary).
const std::string& NotesInput(std::size_t mib);

// A folder for the benchmarks' files: $QUARVO_BENCH_DIR when set, else a
// fresh folder under the system's temporary folder, removed at exit.
const std::string& ScratchFolder();

}  // namespace quarvo::bench
