// SPDX-License-Identifier: MIT
// Names in the system's code page, as every name the program is given.
#include <windows.h>

#include <string>

#include "files/system_support.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/folder_listing.h"

namespace quarvo {
namespace {

using files::SystemReason;

}  // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    // A drive without a medium would otherwise make the system ask for one.
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    SetErrorMode(previous_mode);
    if (search == INVALID_HANDLE_VALUE) throw EFOpenError(folder, SystemReason(GetLastError()));
    std::vector<FolderEntry> listed;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        listed.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return listed;
}

}  // namespace quarvo
