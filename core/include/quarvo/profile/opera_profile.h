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
// The mail folder ("mail", beside or apart from the profile) is looked for
// in the same places, and on Windows first in the user's local application
// data, where Opera 10 and later keep it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"

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
    std::string local_app_data;  // Windows' per-user local application data folder
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

// The first candidate that is a readable regular file; for the hotlist and
// the notes file, else the file that the first operaprefs.ini or opera6.ini naming such a
// file names (a relative name taken in the ini file's folder, as Opera takes
// it). Nothing when none is found. Reads the ini files line by line, only as
// far as needed, and not at all one larger than 16 MiB, which no Opera
// wrote: `note` (may be empty) is told of such a file. Never throws.
[[nodiscard]] std::optional<std::string> FindOperaFile(const OperaPlaces& places, OperaFile file,
                                                       const MessageSink& note = {});

// The folders Opera's mail may be in, in the order they are searched: a
// single-user install's beside its profile (Program Files, then on 64-bit
// Windows the 32-bit programs' folder), Opera 10 and later's in the local
// application data (Opera\Opera\mail, the 64-bit Opera's Opera\Opera x64\mail),
// Opera 9's in Application Data; elsewhere ~/.opera/mail, then the Program
// Files stand-in's.
[[nodiscard]] std::vector<std::string> OperaMailFolderCandidates(const OperaPlaces& places);

// The first candidate that is a mail folder (holds accounts.ini or store/),
// else the one a profile's operaprefs.ini or opera6.ini names, when it is
// one. Nothing when none is found. Reads the ini files; never throws.
[[nodiscard]] std::optional<std::string> FindOperaMailFolder(const OperaPlaces& places);

// The value of "Mail Root Directory" in an Opera ini file's text, in its
// [Mail] or [User Prefs] section, blanks around it removed; empty when
// absent. It may start with one of Opera's folder variables ({Home},
// {LargePreferences}, ...).
[[nodiscard]] std::string MailFolderNamedByIni(std::string_view ini);

// The value of "Hot List File Ver2" in the [User Prefs] section of an
// Opera ini file's text, blanks around it removed; empty when absent.
[[nodiscard]] std::string HotlistNamedByIni(std::string_view ini);

// The value of "NotesFile" in the [MailBox] section, likewise.
[[nodiscard]] std::string NotesNamedByIni(std::string_view ini);

}  // namespace quarvo
