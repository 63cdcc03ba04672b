// SPDX-License-Identifier: MIT
// The temporary files of replacements on POSIX systems: their names, which
// are short and clearly ours, the ones a signal handler must remove, and the
// leftovers of killed runs. Not part of the public interface.
#pragma once

#ifndef _WIN32
#include <string>
#include <string_view>

namespace quarvo::temporary_files {

// A fresh name of ours, such as ".quarvo-k3v9q0x2mz7a.tmp": short, so that
// any target name the folder allows can be replaced.
[[nodiscard]] std::string NewName();

// Whether a folder entry is named as NewName() names them.
[[nodiscard]] bool IsOurs(std::string_view name) noexcept;

// A named temporary file or folder that a termination signal removes while
// it is registered. Registration fails (and nothing is removed on a signal) only
// when more replacements run at once than there is room for.
class Registration {
  public:
    Registration() = default;
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration() { Drop(); }

    // `folder` must stay open until Drop().
    bool Register(int folder, const std::string& name) noexcept;
    void Drop() noexcept;

  private:
    int slot_ = -1;
};

// Removes the file or folder `name` in `folder`, a folder with all it holds
// (links are removed, never followed). Safe in a signal handler: it neither
// allocates nor locks. What cannot be removed stays.
void RemoveTree(int folder, const char* name) noexcept;

// Removes the temporaries of ours in `folder`, files and folders, that no
// running process holds (their writers hold an flock on them) and that were not written to in the
// last seconds (a file just created is locked an instant later). Never
// throws; what cannot be removed stays.
void RemoveStale(int folder) noexcept;

}  // namespace quarvo::temporary_files
#endif
