// SPDX-License-Identifier: MIT
// Where Opera keeps its profile, and the contacts file, hotlist and notes
// file in it.
// On Windows: below Program Files (single-user installs) and, on 64-bit
// Windows, below the Program Files of 32-bit programs, which every Opera
// that wrote these files was; then in the
// user's Application Data folder (Opera 7 to 9 in Opera\Opera\profile,
// Opera 10 and later in Opera\Opera, naming the hotlist bookmarks.adr),
// then the hotlist (or notes file) that a profile's operaprefs.ini or
// opera6.ini names.
// Elsewhere: ~/.opera first, then the Program Files stand-in (/opt).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

enum class OperaFile { Contacts, Hotlist, Notes };

// The folders searched; each ends in the path separator, or is empty when
// unknown (an empty Program Files folder leaves names relative to the
// current folder, as the main window has always looked for them).
struct OperaPlaces {
    std::string program_files;
    std::string app_data;  // Windows' per-user Application Data folder
    std::string home;      // the user's home, outside Windows
    // 64-bit Windows' folder for 32-bit programs; empty elsewhere.
    std::string program_files_x86;
};

// The places of the running system, taken from the environment
// (ProgramFiles, ProgramFiles(x86) and APPDATA on Windows, HOME and /opt
// elsewhere).
[[nodiscard]] OperaPlaces OperaPlacesFromEnvironment();

// The profile folders, in the order they are searched.
[[nodiscard]] std::vector<std::string> OperaProfileFolders(const OperaPlaces& places);

// The names an Opera file is looked for under, in order: in each profile
// folder, the contacts file, the hotlist as opera6.adr then bookmarks.adr,
// or notes.adr.
[[nodiscard]] std::vector<std::string> OperaFileCandidates(const OperaPlaces& places,
                                                           OperaFile file);

// The first candidate that exists; for the hotlist and the notes, else the
// file that the first operaprefs.ini or opera6.ini naming an existing one
// names. Nothing when none is found. Reads the ini files; never throws.
[[nodiscard]] std::optional<std::string> FindOperaFile(const OperaPlaces& places, OperaFile file);

// The value of "Hot List File Ver2" in the [User Prefs] section of an
// Opera ini file's text, blanks around it removed; empty when absent.
[[nodiscard]] std::string HotlistNamedByIni(std::string_view ini);

// The value of "NotesFile" in the [MailBox] section, likewise.
[[nodiscard]] std::string NotesNamedByIni(std::string_view ini);

}  // namespace quarvo
