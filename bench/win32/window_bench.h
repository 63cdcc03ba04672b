// SPDX-License-Identifier: MIT
// The cases of quarvo_win32_viewer_bench.exe beyond the viewer: what the
// main window costs around the work it hands to the core.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "start_up.h"

namespace quarvo::bench {

// Start conversion on generated hotlists of `sizes` MiB, from the click to
// the result box, beside the same conversion called straight (what
// quarvo-convert.exe does); then 24 keys typed into the contacts field
// while the bookmarks field names a 50 MiB hotlist; then a latency probe
// while a 1 GiB hotlist named in the bookmarks field is counted. Prints each
// figure beside its goal; returns how many goals were missed.
int RunMainWindowCases(win32::ProgramWindows& windows, const std::string& folder,
                       const std::vector<std::size_t>& sizes);

}  // namespace quarvo::bench
