// SPDX-License-Identifier: MIT
// The known-folder lookup that start-up takes its default file names from.
// Plain C++ so that it builds and is tested without Qt on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo {

// Where a kind's folder comes from on Windows.
enum class FolderSource {
    UserShellFolders,  // value of HKCU\...\Explorer\Shell Folders
    WindowsDirectory,  // GetWindowsDirectoryA
    SystemDirectory,   // GetSystemDirectoryA
    TempPath,          // GetTempPathA
    SystemDrive,       // first two characters of GetSystemDirectoryA
    MachineVersion,    // value of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion
};

struct FolderKind {
    FolderSource source;
    std::string_view registry_value;  // empty for the system calls
};

// Kinds 0 to 26; every other kind has no folder.
inline constexpr std::array<FolderKind, 27> kFolderKinds{{
    {FolderSource::UserShellFolders, "Desktop"},
    {FolderSource::UserShellFolders, "Start Menu"},
    {FolderSource::UserShellFolders, "Programs"},
    {FolderSource::UserShellFolders, "Startup"},
    {FolderSource::UserShellFolders, "Personal"},
    {FolderSource::UserShellFolders, "AppData"},
    {FolderSource::UserShellFolders, "Fonts"},
    {FolderSource::UserShellFolders, "SendTo"},
    {FolderSource::UserShellFolders, "Recent"},
    {FolderSource::UserShellFolders, "Favorites"},
    {FolderSource::UserShellFolders, "Cache"},
    {FolderSource::UserShellFolders, "Cookies"},
    {FolderSource::UserShellFolders, "History"},
    {FolderSource::UserShellFolders, "NetHood"},
    {FolderSource::UserShellFolders, "PrintHood"},
    {FolderSource::UserShellFolders, "Templates"},
    {FolderSource::UserShellFolders, "Local AppData"},
    {FolderSource::WindowsDirectory, ""},
    {FolderSource::SystemDirectory, ""},
    {FolderSource::TempPath, ""},
    {FolderSource::SystemDrive, ""},
    {FolderSource::MachineVersion, "ProgramFilesDir"},
    {FolderSource::MachineVersion, "CommonFilesDir"},
    {FolderSource::MachineVersion, "ConfigPath"},
    {FolderSource::MachineVersion, "DevicePath"},
    {FolderSource::MachineVersion, "MediaPath"},
    {FolderSource::MachineVersion, "WallPaperDir"},
}};

// The kinds the program itself uses.
inline constexpr std::uint8_t kPersonalFolder = 4;
inline constexpr std::uint8_t kProgramFilesFolder = 21;

// The folder of `kind`, ending in the platform's path separator, or the empty
// string when the kind has no folder here or it cannot be found.
[[nodiscard]] std::string GetShellFolderPath(std::uint8_t kind);

// The path as found by the platform layer, before the separator rule; empty
// when there is none. Implemented once per platform.
[[nodiscard]] std::string LookUpShellFolder(std::uint8_t kind);

// Appends one separator to a non-empty path that does not end in one.
[[nodiscard]] std::string WithTrailingSeparator(std::string path);

}  // namespace quarvo
