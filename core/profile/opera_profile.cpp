// SPDX-License-Identifier: MIT
#include "quarvo/profile/opera_profile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"

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

namespace {

// Opera's own ini files hold a few hundred lines; a larger file is not one.
constexpr std::size_t kLargestIni = std::size_t{16} << 20;
// The ini file is read in pieces of this size, as far as its lines are needed.
constexpr std::size_t kIniPiece = std::size_t{64} << 10;

// The lines of an ini file, one at a time, looking for one key in one of
// some sections (names compared without regard to case, as Opera does).
class IniKeyLines {
  public:
    IniKeyLines(std::initializer_list<std::string_view> sections, std::string_view key)
        : sections_(sections), key_(key) {}

    // The key's value, once `line` (without its line end) gives it.
    std::optional<std::string> Take(std::string_view line) {
        if (first_) {
            if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
            first_ = false;
        }
        line = Trimmed(line);
        if (line.starts_with('[')) {
            in_section_ = false;
            for (const std::string_view section : sections_)
                in_section_ = in_section_ || SameLetters(line, "[" + std::string(section) + "]");
        } else if (const std::size_t eq = line.find('=');
                   in_section_ && eq != std::string_view::npos &&
                   SameLetters(Trimmed(line.substr(0, eq)), key_)) {
            return std::string(Trimmed(line.substr(eq + 1)));
        }
        return std::nullopt;
    }

  private:
    std::vector<std::string_view> sections_;
    std::string_view key_;
    bool first_ = true;
    bool in_section_ = false;
};

// Hands the complete lines at the start of `text` to `lines`, removing
// them, until one gives the value; with `at_end`, the rest is a line too.
// The first `unended` bytes are known to hold no line end.
std::optional<std::string> TakeLines(std::string& text, std::size_t unended, bool at_end,
                                     IniKeyLines& lines) {
    std::size_t begin = 0;
    std::optional<std::string> named;
    while (!named) {
        const std::size_t end = text.find_first_of("\r\n", std::max(begin, unended));
        if (end == std::string::npos) {
            if (at_end && begin < text.size())
                named = lines.Take(std::string_view(text).substr(begin));
            begin = at_end ? text.size() : begin;
            break;
        }
        named = lines.Take(std::string_view(text).substr(begin, end - begin));
        begin = end + 1;
    }
    text.erase(0, begin);
    return named;
}

// The value the ini file gives its key, read only as far as needed; empty
// when it gives none or is too large to be one of Opera's.
std::string IniFileValue(const std::string& ini_path, IniKeyLines lines, const MessageSink& note) {
    FileReading file(ini_path);
    if (file.size() > kLargestIni) {
        if (note)
            note(ini_path +
                 ": not read, as it is larger than 16 MiB, which no Opera settings "
                 "file is");
        return {};
    }
    std::string text;
    for (std::size_t offset = 0; offset < file.size();) {
        const std::size_t piece = std::min(kIniPiece, file.size() - offset);
        const std::size_t held = text.size();
        text.resize(held + piece);
        file.ReadAt(offset, text.data() + held, piece);
        offset += piece;
        if (auto named = TakeLines(text, held, offset == file.size(), lines))
            return std::move(*named);
    }
    return {};
}

std::string IniTextValue(std::string_view ini, IniKeyLines lines) {
    while (!ini.empty()) {
        const std::size_t end = std::min(ini.find_first_of("\r\n"), ini.size());
        if (auto named = lines.Take(ini.substr(0, end))) return std::move(*named);
        ini.remove_prefix(std::min(end + 1, ini.size()));
    }
    return {};
}

IniKeyLines HotlistKey() {
    return IniKeyLines({"User Prefs"}, "Hot List File Ver2");
}
IniKeyLines NotesKey() {
    return IniKeyLines({"MailBox"}, "NotesFile");
}
IniKeyLines MailFolderKey() {
    return IniKeyLines({"Mail", "User Prefs"}, "Mail Root Directory");
}

bool IsAbsolute(std::string_view name) {
#ifdef _WIN32
    // \\server\share, \folder on the current drive, C:\folder and C:name.
    return name.starts_with('\\') || name.starts_with('/') ||
           (name.size() >= 2 && name[1] == ':' &&
            std::isalpha(static_cast<unsigned char>(name[0])));
#else
    return name.starts_with('/');
#endif
}

}  // namespace

std::optional<std::string> FindOperaFile(const OperaPlaces& places, OperaFile file,
                                         const MessageSink& note) {
    for (const std::string& candidate : OperaFileCandidates(places, file))
        if (IsReadableFile(candidate)) return candidate;
    if (file == OperaFile::Contacts) return std::nullopt;
    for (const std::string& folder : OperaProfileFolders(places)) {
        for (const char* ini : {"operaprefs.ini", "opera6.ini"}) {
            const std::string ini_path = folder + ini;
            try {
                if (!IsReadableFile(ini_path)) continue;
                std::string named = IniFileValue(
                    ini_path, file == OperaFile::Hotlist ? HotlistKey() : NotesKey(), note);
                // Opera reads a relative name against its profile folder.
                if (!named.empty() && !IsAbsolute(named)) named = folder + named;
                if (!named.empty() && IsReadableFile(named)) return named;
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

namespace {

// Only what can be read counts: a folder behind a link loop or without
// access holds no mail for us.
bool IsMailFolder(const std::string& folder) {
    std::error_code error;
    return IsReadableFile(folder + "accounts.ini") ||
           std::filesystem::is_directory(folder + "store", error);
}

// A folder value of an ini file in `profile`: Opera's folder variables
// ({LargePreferences}, {Preferences}, ...) stand for the profile's folders;
// the large ones are in the local application data on Windows.
std::vector<std::string> ResolvedFolders(const std::string& value, const std::string& profile,
                                         const OperaPlaces& places) {
    if (!value.starts_with('{')) return {AsFolder(value)};
    const std::size_t close = value.find('}');
    if (close == std::string::npos) return {};
    const std::string variable = value.substr(1, close - 1);
    const std::string rest = value.substr(close + 1);
    if (SameLetters(variable, "Home"))
        return places.home.empty() ? std::vector<std::string>{}
                                   : std::vector{AsFolder(AsFolder(places.home) + rest)};
    std::vector<std::string> folders{AsFolder(profile + rest)};
    const std::string roaming = AsFolder(places.app_data);
    if (!roaming.empty() && !places.local_app_data.empty() && profile.starts_with(roaming))
        folders.push_back(
            AsFolder(AsFolder(places.local_app_data) + profile.substr(roaming.size()) + rest));
    return folders;
}

}  // namespace

std::optional<std::string> FindOperaMailFolder(const OperaPlaces& places) {
    for (const std::string& folder : OperaMailFolderCandidates(places))
        if (IsMailFolder(folder)) return folder;
    std::vector<std::string> profiles = OperaProfileFolders(places);
    if (!places.app_data.empty())
        profiles.push_back(Folder({places.app_data, "Opera", "Opera x64"}));
    for (const std::string& profile : profiles) {
        for (const char* ini : {"operaprefs.ini", "opera6.ini"}) {
            try {
                const std::string ini_path = profile + ini;
                if (!IsReadableFile(ini_path)) continue;
                const std::string named = IniFileValue(ini_path, MailFolderKey(), {});
                if (named.empty()) continue;
                for (const std::string& folder : ResolvedFolders(named, profile, places))
                    if (IsMailFolder(folder)) return folder;
            } catch (const Exception&) {
                // An unreadable ini file names nothing; the search goes on.
            }
        }
    }
    return std::nullopt;
}

std::string MailFolderNamedByIni(std::string_view ini) {
    return IniTextValue(ini, MailFolderKey());
}

std::string HotlistNamedByIni(std::string_view ini) {
    return IniTextValue(ini, HotlistKey());
}

std::string NotesNamedByIni(std::string_view ini) {
    return IniTextValue(ini, NotesKey());
}

}  // namespace quarvo
