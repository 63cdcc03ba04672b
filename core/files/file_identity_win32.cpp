// SPDX-License-Identifier: MIT
// File identities on Windows, whose file names ignore case.
#include <windows.h>

#include <cstdint>
#include <string>

#include "files/file_identity.h"

namespace quarvo {
namespace {

std::string IdentityOfOpen(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) == 0) return {};
    const std::uint64_t index =
        (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow};
    return std::to_string(info.dwVolumeSerialNumber) + ':' + std::to_string(index);
}

// Volume serial number and file index of what `path` opens, links
// followed; empty when it cannot be opened.
std::string HandleIdentity(const std::string& path) {
    // A drive without a medium would otherwise make the system ask for one.
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    // No access is asked for, so a file open elsewhere still answers;
    // folders open only with backup semantics.
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetErrorMode(previous_mode);
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::string identity = IdentityOfOpen(handle);
    CloseHandle(handle);
    return identity;
}

// The name as the file system compares it.
std::string FoldedName(const std::string& name) {
    const int size = static_cast<int>(name.size());
    const int wide_size = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    if (wide_size <= 0) return name;
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), wide_size);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

// The full name of `path` as the system finds it: links and junctions
// followed where it exists, else its full name.
std::string FinalPath(const std::string& path) {
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        char final_path[32768];
        const DWORD length =
            GetFinalPathNameByHandleA(handle, final_path, sizeof final_path, FILE_NAME_NORMALIZED);
        CloseHandle(handle);
        if (length > 0 && length < sizeof final_path) {
            std::string found(final_path, length);
            if (found.starts_with("\\\\?\\UNC\\")) return "\\\\" + found.substr(8);
            if (found.starts_with("\\\\?\\")) return found.substr(4);
            return found;
        }
    }
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    return full;
}

}  // namespace

bool FolderHolds(const std::string& folder, const std::string& path) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::string folder_identity = HandleIdentity(folder);
    if (folder_identity.empty()) return false;
    std::string above = FinalPath(path);
    for (std::size_t cut = above.find_last_of("\\/"); cut != std::string::npos && cut > 0;
         cut = above.find_last_of("\\/")) {
        above.resize(cut);
        // "C:" alone is the current folder of drive C; its root is "C:\".
        const std::string name = above.size() == 2 && above[1] == ':' ? above + '\\' : above;
        if (HandleIdentity(name) == folder_identity) return true;
        if (name != above) break;
    }
    return false;
}

std::string FileIdentity(const std::string& path) {
    if (std::string file = HandleIdentity(path); !file.empty()) return "file " + file;
    // The full name resolves "." and ".." and drops the trailing dots and
    // blanks that Windows drops when it creates the file.
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return "path " + path;
    std::string full(needed, '\0');
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), &name);
    if (length == 0 || length >= needed || name == nullptr) return "path " + path;
    const std::string folder = HandleIdentity(std::string(full.data(), name));
    if (folder.empty()) return "path " + path;
    return "entry " + folder + '/' + FoldedName(std::string(name, full.data() + length));
}

std::string StandardOutputIdentity() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) == FILE_TYPE_DISK)
        if (std::string file = IdentityOfOpen(out); !file.empty()) return "file " + file;
    return "standard output";
}

}  // namespace quarvo
