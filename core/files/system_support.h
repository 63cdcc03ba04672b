// SPDX-License-Identifier: MIT
// What the file layer's files all need of the system: its reason for an
// error, in words to follow the layer's own message, writing all of a text,
// and a path's folder and last name. Not part of the public interface.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quarvo::files {

#ifdef _WIN32
// The system's text for an error code, without its closing period and line
// break.
[[nodiscard]] std::string SystemReason(DWORD error);
[[nodiscard]] std::string LastSystemReason();

// Writes all of `text`, going on after a partial write; throws EWriteError
// when the system stops taking bytes (disk full, device error).
void WriteAll(HANDLE file, std::string_view text);
#else
// The system's text for an errno value.
[[nodiscard]] std::string SystemReason(int error);

// Writes all of `text` through the file seam, going on after a partial or
// interrupted write; throws EWriteError when the system stops taking it.
void WriteAll(int fd, std::string_view text);

// The folder part of a path ("." for a bare name, "/" for one at the root)
// and its last part.
[[nodiscard]] std::string FolderOf(const std::string& path);
[[nodiscard]] std::string BaseNameOf(const std::string& path);
#endif

}  // namespace quarvo::files
