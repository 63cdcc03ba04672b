// SPDX-License-Identifier: MIT
// The folder lookup outside Windows. Each kind keeps the meaning it has on
// Windows where the desktop has a like folder: the user folders come from the
// XDG user-dirs file and base directories, the machine folders are the fixed
// places of the file-system hierarchy, and kinds without a counterpart here
// (the shell's link folders, cookies, history) have no folder.
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "shell_folders.h"

namespace quarvo {
namespace {

enum class PosixSource {
    None,
    UserDir,     // a key of the user-dirs file, with its default below home
    BaseDir,     // an XDG base directory, with an optional folder below it
    Fixed,       // a fixed path
    TempFolder,  // $TMPDIR, else /tmp
};

struct PosixFolder {
    PosixSource source;
    std::string_view key;       // user-dirs key or base-directory variable
    std::string_view default_;  // below home, for the user-dirs and base dirs
    std::string_view below;     // a folder below a base directory
};

// The Linux side of kFolderKinds, kind for kind.
constexpr std::array<PosixFolder, 27> kPosixFolders{{
    {PosixSource::UserDir, "XDG_DESKTOP_DIR", "Desktop", ""},                 // 0 Desktop
    {PosixSource::BaseDir, "XDG_DATA_HOME", ".local/share", "applications"},  // 1 Start Menu
    {PosixSource::BaseDir, "XDG_DATA_HOME", ".local/share", "applications"},  // 2 Programs
    {PosixSource::BaseDir, "XDG_CONFIG_HOME", ".config", "autostart"},        // 3 Startup
    {PosixSource::UserDir, "XDG_DOCUMENTS_DIR", "", ""},                      // 4 Personal
    {PosixSource::BaseDir, "XDG_CONFIG_HOME", ".config", ""},                 // 5 AppData
    {PosixSource::BaseDir, "XDG_DATA_HOME", ".local/share", "fonts"},         // 6 Fonts
    {PosixSource::None, "", "", ""},                                          // 7 SendTo
    {PosixSource::None, "", "", ""},                                          // 8 Recent
    {PosixSource::None, "", "", ""},                                          // 9 Favorites
    {PosixSource::BaseDir, "XDG_CACHE_HOME", ".cache", ""},                   // 10 Cache
    {PosixSource::None, "", "", ""},                                          // 11 Cookies
    {PosixSource::None, "", "", ""},                                          // 12 History
    {PosixSource::None, "", "", ""},                                          // 13 NetHood
    {PosixSource::None, "", "", ""},                                          // 14 PrintHood
    {PosixSource::UserDir, "XDG_TEMPLATES_DIR", "Templates", ""},             // 15 Templates
    {PosixSource::BaseDir, "XDG_DATA_HOME", ".local/share", ""},              // 16 Local AppData
    {PosixSource::Fixed, "/usr", "", ""},                                     // 17 Windows
    {PosixSource::Fixed, "/usr/lib", "", ""},                                 // 18 System
    {PosixSource::TempFolder, "", "", ""},                                    // 19 Temp
    {PosixSource::Fixed, "/", "", ""},                                        // 20 system drive
    {PosixSource::Fixed, "/opt", "", ""},                                     // 21 Program Files
    {PosixSource::Fixed, "/usr/share", "", ""},                               // 22 Common Files
    {PosixSource::Fixed, "/etc", "", ""},                                     // 23 Config
    {PosixSource::None, "", "", ""},                                          // 24 Device (drivers)
    {PosixSource::Fixed, "/usr/share/sounds", "", ""},                        // 25 Media
    {PosixSource::Fixed, "/usr/share/backgrounds", "", ""},                   // 26 Wallpaper
}};
static_assert(kPosixFolders.size() == kFolderKinds.size());

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string below(std::string folder, std::string_view name) {
    if (name.empty() || folder.empty()) return folder;
    if (folder.back() != '/') folder.push_back('/');
    folder += name;
    return folder;
}

// A base directory must be absolute to count; otherwise its default applies.
std::string base_directory(const std::string& home, const PosixFolder& folder) {
    std::string base = environment(std::string(folder.key).c_str());
    if (base.empty() || base.front() != '/') {
        if (home.empty()) return {};
        base = below(home, folder.default_);
    }
    return below(base, folder.below);
}

// The value of `key` in the user-dirs file: "$HOME/Name" or "/absolute",
// in double quotes, as xdg-user-dirs writes it. Empty when it is absent.
std::string user_dirs_value(const std::string& home, std::string_view key) {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = home.empty() ? "" : home + "/.config";
    if (config.empty()) return {};
    std::ifstream file(config + "/user-dirs.dirs");
    std::string found;
    for (std::string line; std::getline(file, line);) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::string_view rest = std::string_view(line).substr(start);
        if (rest.substr(0, key.size()) != key) continue;
        rest.remove_prefix(key.size());
        if (rest.empty() || rest.front() != '=') continue;
        rest.remove_prefix(1);
        if (rest.size() < 2 || rest.front() != '"') continue;
        const auto close = rest.find('"', 1);
        if (close == std::string_view::npos) continue;
        std::string_view value = rest.substr(1, close - 1);
        constexpr std::string_view kHome = "$HOME";
        if (value.substr(0, kHome.size()) == kHome &&
            (value.size() == kHome.size() || value[kHome.size()] == '/')) {
            if (home.empty()) continue;
            found = home + std::string(value.substr(kHome.size()));
        } else if (!value.empty() && value.front() == '/') {
            found = std::string(value);
        }
        // The last assignment wins, as when the shell sources the file.
    }
    return found;
}

std::string user_directory(const std::string& home, const PosixFolder& folder) {
    std::string found = user_dirs_value(home, folder.key);
    if (!found.empty()) return found;
    // Unset user folders fall back as xdg-user-dir does: to the named
    // folder below home, or home itself for the documents.
    if (home.empty()) return {};
    return below(home, folder.default_);
}

std::string temp_folder() {
    std::string folder = environment("TMPDIR");
    return folder.empty() || folder.front() != '/' ? std::string("/tmp") : folder;
}

}  // namespace

std::string LookUpShellFolder(std::uint8_t kind) {
    if (kind >= kPosixFolders.size()) return {};
    const PosixFolder& folder = kPosixFolders[kind];
    const std::string home = environment("HOME");
    switch (folder.source) {
        case PosixSource::None:
            return {};
        case PosixSource::UserDir:
            return user_directory(home, folder);
        case PosixSource::BaseDir:
            return base_directory(home, folder);
        case PosixSource::Fixed:
            return std::string(folder.key);
        case PosixSource::TempFolder:
            return temp_folder();
    }
    return {};
}

}  // namespace quarvo
