// SPDX-License-Identifier: MIT
// Where the main window looks for the default file names: the places an
// Opera profile is kept. The folders themselves come from the desktop.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quarvo {

enum class OperaFile { Contacts, Hotlist };

// The names an Opera file is looked for under, in order: first the profile
// below the Program Files folder, then (outside Windows, where Opera keeps
// its profile in the user's home) ~/.opera, where later Opera versions call
// the hotlist bookmarks.adr.
[[nodiscard]] std::vector<std::string> OperaFileCandidates(const std::string& program_files,
                                                           OperaFile file);

// The first candidate that exists, or nothing.
[[nodiscard]] std::optional<std::string> FindOperaFile(const std::string& program_files,
                                                       OperaFile file);

}  // namespace quarvo
