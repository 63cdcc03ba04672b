// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "quarvo/base/errors.h"
#include "quarvo/files/folder_listing.h"

namespace quarvo {

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    DIR* entries = ::opendir(folder.c_str());
    if (entries == nullptr) {
        char buffer[256] = {};
        throw EFOpenError(folder, ::strerror_r(errno, buffer, sizeof buffer));
    }
    std::vector<FolderEntry> listed;
    while (const dirent* entry = ::readdir(entries)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        bool is_folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            is_folder = ::fstatat(::dirfd(entries), name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        listed.push_back({name, is_folder});
    }
    ::closedir(entries);
    return listed;
}

}  // namespace quarvo
