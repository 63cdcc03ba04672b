// SPDX-License-Identifier: MIT
// Where start-up looks for the default file names: the folder lookup (which
// tests replace with a stand-in) and the places an Opera profile is kept.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

// Answers like GetShellFolderPath: a folder ending in a separator, or "".
using FolderLookup = std::function<std::string(std::uint8_t kind)>;

// Replaces the folder lookup of start-up; an empty lookup brings
// GetShellFolderPath back.
void SetFolderLookup(FolderLookup lookup);
[[nodiscard]] std::string LookUpFolder(std::uint8_t kind);

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
