// SPDX-License-Identifier: MIT
#include "quarvo/opera_profile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "quarvo/errors.h"
#include "quarvo/file_layer.h"

namespace quarvo {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// `folder` with one separator at its end; empty stays empty.
std::string AsFolder(std::string folder) {
    if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
    return folder;
}

std::string Folder(std::initializer_list<std::string_view> parts) {
    std::string path;
    for (std::string_view part : parts) {
        path += part;
        path = AsFolder(std::move(path));
    }
    return path;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

OperaPlaces OperaPlacesFromEnvironment() {
#ifdef _WIN32
    return {AsFolder(Environment("ProgramFiles")),
            AsFolder(Environment("APPDATA")),
            {},
            AsFolder(Environment("ProgramFiles(x86)"))};
#else
    return {"/opt/", {}, Environment("HOME")};
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

std::optional<std::string> FindOperaFile(const OperaPlaces& places, OperaFile file) {
    for (const std::string& candidate : OperaFileCandidates(places, file))
        if (PathExists(candidate)) return candidate;
    if (file == OperaFile::Contacts) return std::nullopt;
    for (const std::string& folder : OperaProfileFolders(places)) {
        for (const char* ini : {"operaprefs.ini", "opera6.ini"}) {
            const std::string ini_path = folder + ini;
            try {
                if (!PathExists(ini_path)) continue;
                const std::string text = ReadWholeFile(ini_path);
                const std::string named =
                    file == OperaFile::Hotlist ? HotlistNamedByIni(text) : NotesNamedByIni(text);
                if (!named.empty() && PathExists(named)) return named;
            } catch (const Exception&) {
                // An unreadable ini file names nothing; the search goes on.
            }
        }
    }
    return std::nullopt;
}

namespace {

// The value of `key` in section `section` of an ini file's text.
std::string IniValue(std::string_view ini, std::string_view section, std::string_view key) {
    if (ini.starts_with("\xEF\xBB\xBF")) ini.remove_prefix(3);
    bool in_section = false;
    while (!ini.empty()) {
        const std::size_t end = std::min(ini.find_first_of("\r\n"), ini.size());
        const std::string_view line = Trimmed(ini.substr(0, end));
        ini.remove_prefix(std::min(end + 1, ini.size()));
        if (line.starts_with('[')) {
            in_section = SameLetters(line, section);
        } else if (const std::size_t eq = line.find('=');
                   in_section && eq != std::string_view::npos &&
                   SameLetters(Trimmed(line.substr(0, eq)), key)) {
            return std::string(Trimmed(line.substr(eq + 1)));
        }
    }
    return {};
}

}  // namespace

std::string HotlistNamedByIni(std::string_view ini) {
    return IniValue(ini, "[User Prefs]", "Hot List File Ver2");
}

std::string NotesNamedByIni(std::string_view ini) {
    return IniValue(ini, "[MailBox]", "NotesFile");
}

}  // namespace quarvo
