// SPDX-License-Identifier: MIT
#include "profile/profile_ini.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"

namespace quarvo::profile {
namespace {

constexpr std::string_view kBlanks = " \t";

// Opera's own ini files hold a few hundred lines; a larger file is not one.
constexpr std::size_t kLargestIni = std::size_t{16} << 20;
// The ini file is read in pieces of this size, as far as its lines are needed.
constexpr std::size_t kIniPiece = std::size_t{64} << 10;

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

// The lines of an ini file, one at a time, looking for one key.
class IniKeyLines {
  public:
    explicit IniKeyLines(const IniKey& key) : key_(key) {}

    // The key's value, once `line` (without its line end) gives it.
    std::optional<std::string> Take(std::string_view line) {
        if (first_) {
            if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
            first_ = false;
        }
        line = Trimmed(line);
        if (line.starts_with('[')) {
            in_section_ = Names(line, key_.section) ||
                          (!key_.other_section.empty() && Names(line, key_.other_section));
        } else if (const std::size_t eq = line.find('=');
                   in_section_ && eq != std::string_view::npos &&
                   SameLetters(Trimmed(line.substr(0, eq)), key_.key)) {
            return std::string(Trimmed(line.substr(eq + 1)));
        }
        return std::nullopt;
    }

  private:
    static bool Names(std::string_view line, std::string_view section) {
        return line.size() == section.size() + 2 && line.back() == ']' &&
               SameLetters(line.substr(1, section.size()), section);
    }

    IniKey key_;
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

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string IniFileValue(const std::string& ini_path, const IniKey& key, const MessageSink& note) {
    FileReading file(ini_path);
    if (file.size() > kLargestIni) {
        if (note)
            note(ini_path +
                 ": not read, as it is larger than 16 MiB, which no Opera settings "
                 "file is");
        return {};
    }
    IniKeyLines lines(key);
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

std::string IniTextValue(std::string_view ini, const IniKey& key) {
    IniKeyLines lines(key);
    while (!ini.empty()) {
        const std::size_t end = std::min(ini.find_first_of("\r\n"), ini.size());
        if (auto named = lines.Take(ini.substr(0, end))) return std::move(*named);
        ini.remove_prefix(std::min(end + 1, ini.size()));
    }
    return {};
}

std::string ProfileIniValue(const std::string& profile, const IniKey& key,
                            const MessageSink& note) {
    for (const char* ini : kIniNames) {
        const std::string ini_path = profile + ini;
        try {
            if (!IsReadableFile(ini_path)) continue;
            std::string value = IniFileValue(ini_path, key, note);
            if (!value.empty()) return value;
        } catch (const Exception&) {
            // An unreadable ini file names nothing; the search goes on.
        }
    }
    return {};
}

std::vector<std::string> ResolvedNames(const std::string& value, const std::string& profile,
                                       const OperaPlaces& places) {
    if (value.empty()) return {};
    if (!value.starts_with('{')) {
        // Opera reads a relative name against its profile folder.
        return {IsAbsolute(value) ? value : profile + value};
    }
    const std::size_t close = value.find('}');
    if (close == std::string::npos) return {};
    const std::string variable = value.substr(1, close - 1);
    const std::string rest = value.substr(close + 1);
    if (SameLetters(variable, "Home"))
        return places.home.empty() ? std::vector<std::string>{}
                                   : std::vector{AsFolder(places.home) + rest};
    std::vector<std::string> names{profile + rest};
    const std::string roaming = AsFolder(places.app_data);
    if (!roaming.empty() && !places.local_app_data.empty() && profile.starts_with(roaming))
        names.push_back(AsFolder(places.local_app_data) + profile.substr(roaming.size()) + rest);
    return names;
}

bool IsMailFolder(const std::string& folder) {
    // Only what can be read counts: a folder behind a link loop or without
    // access holds no mail for us.
    std::error_code error;
    return IsReadableFile(folder + "accounts.ini") ||
           std::filesystem::is_directory(folder + "store", error);
}

}  // namespace quarvo::profile
