// SPDX-License-Identifier: MIT
// What a profile's operaprefs.ini or opera6.ini says of where Opera kept
// its files, read line by line only as far as needed, and the folder
// variables ({Home}, {LargePreferences}, ...) its values may start with.
// Shared by the lookup of the default names and the search for profiles.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/profile/opera_profile.h"

namespace quarvo::profile {

// The ini files a profile folder may hold, newest name first.
inline constexpr const char* kIniNames[] = {"operaprefs.ini", "opera6.ini"};

// `folder` with one separator at its end; empty stays empty.
[[nodiscard]] std::string AsFolder(std::string folder);

// The parts joined, each followed by a separator.
[[nodiscard]] std::string Folder(std::initializer_list<std::string_view> parts);

// Whether two names are spelt alike, letters compared without case.
[[nodiscard]] bool SameLetters(std::string_view a, std::string_view b);

// One key of an ini file, looked for in its section or another (names
// compared without regard to case, as Opera does).
struct IniKey {
    std::string_view key;
    std::string_view section;
    std::string_view other_section = {};  // empty: none
};

inline constexpr IniKey kHotlistKey{"Hot List File Ver2", "User Prefs"};
inline constexpr IniKey kNotesKey{"NotesFile", "MailBox"};
inline constexpr IniKey kMailFolderKey{"Mail Root Directory", "Mail", "User Prefs"};
inline constexpr IniKey kSpeedDialKey{"Speed Dial File", "User Prefs"};
inline constexpr IniKey kCookiesFolderKey{"Cookies Directory", "User Prefs"};

// The key's value in the ini file `ini_path`, blanks around it removed;
// empty when it gives none, and when the file is larger than 16 MiB, which
// no Opera settings file is (`note`, which may be empty, is told so).
// Throws the file layer's errors when the file cannot be read.
[[nodiscard]] std::string IniFileValue(const std::string& ini_path, const IniKey& key,
                                       const MessageSink& note = {});

// The same for an ini file's text.
[[nodiscard]] std::string IniTextValue(std::string_view ini, const IniKey& key);

// The value the first readable ini file of `profile` gives `key`; empty
// when none gives one. An ini file that cannot be read names nothing.
[[nodiscard]] std::string ProfileIniValue(const std::string& profile, const IniKey& key,
                                          const MessageSink& note = {});

// The names an ini value of the profile folder `profile` may stand for, in
// the order they are tried: a relative name in the profile (as Opera takes
// it), an absolute one as it is, and one that starts with a folder
// variable in the profile and, for a profile in the roaming Application
// Data, in its counterpart in the local application data, where Opera
// keeps its large files. {Home} is the user's home folder.
[[nodiscard]] std::vector<std::string> ResolvedNames(const std::string& value,
                                                     const std::string& profile,
                                                     const OperaPlaces& places);

// Whether `folder` (ending in a separator) is an Opera mail folder: it holds
// an accounts.ini that can be read, or a store folder.
[[nodiscard]] bool IsMailFolder(const std::string& folder);

}  // namespace quarvo::profile
