// SPDX-License-Identifier: MIT
// A seam in the POSIX file layer through which tests make the system calls
// fail that a real machine seldom fails on demand (a short write, fsync,
// close, rename, a file system without unnamed temporary files or without
// permissions) or answer as another file system would. Production code never
// changes it.
#pragma once

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>

#include <cstddef>

namespace quarvo::file_seam {

struct SystemCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    ssize_t (*pread)(int fd, void* data, std::size_t size, off_t offset);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*renameat)(int from_folder, const char* from, int to_folder, const char* to);
    // Creates the temporary file of a replacement (unnamed or named).
    int (*openat)(int folder, const char* name, int flags, mode_t mode);
    // Sets the permissions of a new file.
    int (*fchmod)(int fd, mode_t mode);
    // Tells which file system a folder is on, which decides whether it
    // ignores the case of names.
    int (*fstatfs)(int fd, struct statfs* info);
};

// The calls the file layer makes; starts as the real ones.
SystemCalls& Calls() noexcept;

// Puts the real calls back.
void Reset() noexcept;

}  // namespace quarvo::file_seam
#endif
