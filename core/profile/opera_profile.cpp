// SPDX-License-Identifier: MIT
#include "quarvo/profile/opera_profile.h"

#include <cstdlib>

#include "profile/profile_ini.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

using profile::AsFolder;
using profile::Folder;
using profile::SameLetters;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

OperaPlaces OperaPlacesFromEnvironment() {
#ifdef _WIN32
    return {AsFolder(Environment("ProgramFiles")),
            AsFolder(Environment("APPDATA")),
            {},
            AsFolder(Environment("ProgramFiles(x86)")),
            AsFolder(Environment("LOCALAPPDATA"))};
#else
    return {"/opt/", {}, Environment("HOME"), {}, {}};
#endif
}

std::vector<std::string> OperaProfileFolders(const OperaPlaces& places) {
    std::vector<std::string> folders;
    if (!places.home.empty()) folders.push_back(Folder({places.home, ".opera"}));
    // Concatenated, not joined: an empty Program Files folder leaves a
    // name relative to the current folder.
    folders.push_back(AsFolder(places.program_files) + Folder({"Opera", "profile"}));
    // A 32-bit process is shown the same folder under both names.
    if (!places.program_files_x86.empty() &&
        !SameLetters(AsFolder(places.program_files_x86), AsFolder(places.program_files)))
        folders.push_back(Folder({places.program_files_x86, "Opera", "profile"}));
    if (!places.app_data.empty()) {
        folders.push_back(Folder({places.app_data, "Opera", "Opera", "profile"}));
        folders.push_back(Folder({places.app_data, "Opera", "Opera"}));
    }
    return folders;
}

std::vector<std::string> OperaFileCandidates(const OperaPlaces& places, OperaFile file) {
    std::vector<std::string> candidates;
    for (const std::string& folder : OperaProfileFolders(places)) {
        if (file == OperaFile::Contacts) {
            candidates.push_back(folder + "contacts.adr");
        } else if (file == OperaFile::Notes) {
            candidates.push_back(folder + "notes.adr");
        } else {
            candidates.push_back(folder + "opera6.adr");
            candidates.push_back(folder + "bookmarks.adr");
        }
    }
    return candidates;
}

std::optional<std::string> FindOperaFile(const OperaPlaces& places, OperaFile file,
                                         const MessageSink& note) {
    for (const std::string& candidate : OperaFileCandidates(places, file))
        if (IsReadableFile(candidate)) return candidate;
    if (file == OperaFile::Contacts) return std::nullopt;
    const profile::IniKey& key =
        file == OperaFile::Hotlist ? profile::kHotlistKey : profile::kNotesKey;
    for (const std::string& folder : OperaProfileFolders(places)) {
        for (const char* ini : profile::kIniNames) {
            const std::string ini_path = folder + ini;
            try {
                if (!IsReadableFile(ini_path)) continue;
                const std::string named = profile::IniFileValue(ini_path, key, note);
                for (const std::string& name : profile::ResolvedNames(named, folder, places))
                    if (IsReadableFile(name)) return name;
            } catch (const Exception&) {
                // An unreadable ini file names nothing; the search goes on.
            }
        }
    }
    return std::nullopt;
}

std::vector<std::string> OperaMailFolderCandidates(const OperaPlaces& places) {
    std::vector<std::string> folders;
    if (!places.home.empty()) folders.push_back(Folder({places.home, ".opera", "mail"}));
    folders.push_back(AsFolder(places.program_files) + Folder({"Opera", "mail"}));
    if (!places.program_files_x86.empty() &&
        !SameLetters(AsFolder(places.program_files_x86), AsFolder(places.program_files)))
        folders.push_back(Folder({places.program_files_x86, "Opera", "mail"}));
    if (!places.local_app_data.empty()) {
        folders.push_back(Folder({places.local_app_data, "Opera", "Opera", "mail"}));
        folders.push_back(Folder({places.local_app_data, "Opera", "Opera x64", "mail"}));
    }
    if (!places.app_data.empty())
        folders.push_back(Folder({places.app_data, "Opera", "Opera", "mail"}));
    return folders;
}

std::optional<std::string> FindOperaMailFolder(const OperaPlaces& places) {
    for (const std::string& folder : OperaMailFolderCandidates(places))
        if (profile::IsMailFolder(folder)) return folder;
    std::vector<std::string> profiles = OperaProfileFolders(places);
    if (!places.app_data.empty())
        profiles.push_back(Folder({places.app_data, "Opera", "Opera x64"}));
    for (const std::string& folder : profiles) {
        const std::string named = profile::ProfileIniValue(folder, profile::kMailFolderKey);
        for (const std::string& name : profile::ResolvedNames(named, folder, places))
            if (profile::IsMailFolder(AsFolder(name))) return AsFolder(name);
    }
    return std::nullopt;
}

std::string MailFolderNamedByIni(std::string_view ini) {
    return profile::IniTextValue(ini, profile::kMailFolderKey);
}

std::string HotlistNamedByIni(std::string_view ini) {
    return profile::IniTextValue(ini, profile::kHotlistKey);
}

std::string NotesNamedByIni(std::string_view ini) {
    return profile::IniTextValue(ini, profile::kNotesKey);
}

}  // namespace quarvo
