// SPDX-License-Identifier: MIT
// The folder lookup on Windows: the user's shell folders and the machine's
// version key in the registry, and the Windows, system and temporary folders.
#include <windows.h>

#include <string>
#include <vector>

#include "quarvo/base/errors.h"
#include "shell_folders.h"

namespace quarvo {
namespace {

constexpr char kUserFoldersKey[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kMachineKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The system-folder calls get a 255-byte buffer and are told it holds 254.
constexpr UINT kFolderBufferSize = 254;

// One registry access: a root and at most one open key, closed when the root
// changes and when the access ends (also when a read has thrown).
class RegistryAccess {
  public:
    RegistryAccess(REGSAM access, HKEY root) noexcept : access_(access), root_(root) {}
    RegistryAccess(const RegistryAccess&) = delete;
    RegistryAccess& operator=(const RegistryAccess&) = delete;
    ~RegistryAccess() { CloseKey(); }

    void SetRoot(HKEY root) noexcept {
        if (root == root_) return;
        CloseKey();
        root_ = root;
    }

    // Opens `path` (absolute when it starts with a backslash), creating it
    // when it is absent. False on failure; never throws. The lookup opens
    // with full access rights, so on a machine where the user may not write
    // the key this fails and the kinds read from it stay empty.
    bool OpenKey(std::string_view path) noexcept {
        if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
        const std::string sub_key(path);
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(root_, sub_key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                            nullptr, &key, &disposition) != ERROR_SUCCESS) {
            return false;
        }
        CloseKey();
        key_ = key;
        return true;
    }

    // The value as stored (an expandable string is not expanded); empty when
    // no key is open or the value is absent or empty. Throws Exception for a
    // value of another type or a value that cannot be read.
    std::string ReadString(std::string_view name) const {
        if (key_ == nullptr) return {};
        const std::string value_name(name);
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key_, value_name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            size == 0) {
            return {};
        }
        std::vector<char> data(size + 1, '\0');
        if (RegQueryValueExA(key_, value_name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
            throw Exception("Failed to get data for '" + value_name + "'");
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            throw Exception("Invalid data type for '" + value_name + "'");
        }
        return std::string(data.data());  // up to the first zero byte
    }

  private:
    void CloseKey() noexcept {
        if (key_ == nullptr) return;
        RegCloseKey(key_);
        key_ = nullptr;
    }

    REGSAM access_;
    HKEY root_;
    HKEY key_ = nullptr;
};

// The text a system-folder call left in the buffer; empty when the call
// failed or the folder did not fit.
template <typename Call>
std::string SystemFolder(Call call) {
    char buffer[kFolderBufferSize + 1] = {};
    const DWORD length = call(buffer);
    if (length == 0 || length >= kFolderBufferSize) return {};
    return std::string(buffer);
}

std::string WindowsDirectory() {
    return SystemFolder(
        [](char* buffer) { return GetWindowsDirectoryA(buffer, kFolderBufferSize); });
}

std::string SystemDirectory() {
    return SystemFolder(
        [](char* buffer) { return GetSystemDirectoryA(buffer, kFolderBufferSize); });
}

std::string TempPath() {
    return SystemFolder([](char* buffer) { return GetTempPathA(kFolderBufferSize, buffer); });
}

std::string FromUserOrSystem(const FolderKind& kind, const RegistryAccess& registry) {
    switch (kind.source) {
        case FolderSource::UserShellFolders:
            return registry.ReadString(kind.registry_value);
        case FolderSource::WindowsDirectory:
            return WindowsDirectory();
        case FolderSource::SystemDirectory:
            return SystemDirectory();
        case FolderSource::TempPath:
            return TempPath();
        case FolderSource::SystemDrive:
            return SystemDirectory().substr(0, 2);
        case FolderSource::MachineVersion:
            break;
    }
    return {};
}

}  // namespace

std::string LookUpShellFolder(std::uint8_t kind) {
    const FolderKind* entry = kind < kFolderKinds.size() ? &kFolderKinds[kind] : nullptr;
    std::string folder;

    // Both keys are opened for every kind, even where the other one answers:
    // the lookup behaves the same, key creation included, whatever is asked.
    RegistryAccess registry(KEY_ALL_ACCESS, HKEY_CURRENT_USER);
    registry.OpenKey(kUserFoldersKey);
    if (entry != nullptr) folder = FromUserOrSystem(*entry, registry);

    registry.SetRoot(HKEY_LOCAL_MACHINE);
    registry.OpenKey(kMachineKey);
    if (entry != nullptr && entry->source == FolderSource::MachineVersion) {
        folder = registry.ReadString(entry->registry_value);
    }
    return folder;
}

}  // namespace quarvo
