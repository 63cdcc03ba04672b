// SPDX-License-Identifier: MIT
// Names in the system's code page, as every name the program is given.
#include <windows.h>

#include <string>

#include "quarvo/base/errors.h"
#include "quarvo/files/folder_listing.h"

namespace quarvo {
namespace {

std::string Reason(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length != 0 && text != nullptr ? std::string(text, length)
                                                        : "error " + std::to_string(error);
    if (text != nullptr) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    return reason;
}

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
    if (search == INVALID_HANDLE_VALUE) throw EFOpenError(folder, Reason(GetLastError()));
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
