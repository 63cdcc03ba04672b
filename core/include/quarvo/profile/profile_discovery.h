// SPDX-License-Identifier: MIT
// Every Opera profile on the system, and what each holds. A profile is a
// folder; Opera named the one in the user's Application Data after the
// folder it was installed in ("Opera", "Opera x64", "Opera 10.50", ...),
// kept its mail apart in the local application data from version 10 on,
// and before version 10 put everything one folder down, in "profile".
// What a profile's operaprefs.ini or opera6.ini names elsewhere is where
// that file is. Only what can be read is found; nothing is ever opened but
// the ini files, read only as far as needed.
#pragma once

#include <string>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/profile/opera_profile.h"

namespace quarvo {

// One profile and the files found for it. Each name is empty when the
// profile has no such file; folders end in the path separator.
struct OperaProfile {
    std::string folder;
    std::string hotlist;                // opera6.adr, bookmarks.adr, or the ini's
    std::string contacts;               // contacts.adr
    std::string notes;                  // notes.adr, or the ini's
    std::string mail;                   // the mail folder (holds accounts.ini or store)
    std::string speed_dial;             // speeddial.ini, or the ini's
    std::string search_engines;         // search.ini
    std::vector<std::string> sessions;  // sessions/*.win, by name
    // Listed, never opened: saved passwords and cookies.
    std::string passwords;  // wand.dat
    std::string cookies;    // cookies4.dat

    // Whether any of the above was found.
    [[nodiscard]] bool HoldsAnything() const;
};

// The profiles Opera kept where it keeps them, in this order: outside
// Windows ~/.opera, then the macOS-style ~/Library/Opera and
// ~/Library/Application Support/Opera; the Program Files profile (on Linux
// /opt/Opera/profile), then on 64-bit Windows that of the 32-bit programs'
// folder; then every folder under the Application Data's Opera folder
// ("Opera" first, the rest by name), each as it is and with "profile".
// A folder is a profile when it holds one of Opera's files; a mail folder
// that no profile claims makes one of its own. Never throws; `note` (may be
// empty) is told of an ini file too large to be Opera's.
[[nodiscard]] std::vector<OperaProfile> FindOperaProfiles(const OperaPlaces& places,
                                                          const MessageSink& note = {});

// The profiles in a folder the user names: the folder itself, or its
// "profile" folder, when either holds Opera's files; else each folder in it
// that does (so that the Application Data's Opera folder, or a copy of it,
// can be given whole). A folder that holds nothing gives one empty profile,
// which says so. Never throws.
[[nodiscard]] std::vector<OperaProfile> OperaProfilesIn(const std::string& folder,
                                                        const OperaPlaces& places,
                                                        const MessageSink& note = {});

}  // namespace quarvo
