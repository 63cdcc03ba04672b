// SPDX-License-Identifier: MIT
// When two names are one file, as the system finds the files: links
// followed, any spelling of the path, and on a file system that ignores the
// case of names, any case. Not part of the public interface.
#pragma once

#include <string>

namespace quarvo {

// What `path` names, such that two names are one file exactly when their
// identities are equal: the file's own (device and file number) when it
// exists; else the folder's own and the name it would be made under there;
// else the spelling, when not even the folder can be found (nothing can be
// written there then). In a folder whose file system ignores case, the full
// name with its case folded stands for the file, existing or not: such a
// file system may give one file another number under each spelling.
// Reads and writes no file.
[[nodiscard]] std::string FileIdentity(const std::string& path);

// The identity, in the same terms, of what this process's standard output
// is: a file's, or one that only the standard output has.
[[nodiscard]] std::string StandardOutputIdentity();

// Whether the folder `folder` holds `path`, at any depth, as the system
// finds them (links followed): a folder output made there would take the
// file with it. False when `folder` is not a folder.
[[nodiscard]] bool FolderHolds(const std::string& folder, const std::string& path);

}  // namespace quarvo
