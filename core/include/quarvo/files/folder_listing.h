// SPDX-License-Identifier: MIT
// What a folder holds, for the inputs that are folders (Opera's mail store).
#pragma once

#include <string>
#include <vector>

namespace quarvo {

struct FolderEntry {
    std::string name;        // in the folder, as the system spells it
    bool is_folder = false;  // links are followed: a link to a folder is a folder
};

// The entries of `folder`, "." and ".." left out, in no particular order. An
// entry whose link leads nowhere is listed as a file, so that reading it
// tells why it cannot be read.
// Throws EFOpenError naming the folder, with the system's reason, when it
// cannot be listed (missing, a file, no access).
[[nodiscard]] std::vector<FolderEntry> ListFolder(const std::string& folder);

}  // namespace quarvo
