// SPDX-License-Identifier: MIT
// A whole Opera profile: what it holds, counted with each kind's own reader
// before anything is written, and all of it exported into one new folder
// with report.html, which says what was found, what was written where,
// what was left out and why, and how each file goes into the programs
// people use today. Each kind is one entry of a table (profile_kinds.h),
// so that a new kind is added there alone. The saved passwords and the
// cookies are only listed: their files are never opened.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/profile/profile_discovery.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// What one kind of a profile holds.
struct ProfileKindSurvey {
    std::string kind;    // the kind's id ("bookmarks")
    std::string source;  // the file or folder it is read from
    // "bookmarks" 120, "folders" 8, ... as its reader counts them; empty
    // for a kind found whose reader is not there yet.
    std::vector<std::pair<std::string, std::int64_t>> counts;
    // Why it could not be read ("name: reason"); empty when it was.
    std::string problem;
};

// A file that is listed but never opened: its name and size.
struct UntouchedFile {
    std::string file;
    std::uintmax_t size = 0;
};

struct ProfileSurvey {
    std::string folder;
    std::vector<ProfileKindSurvey> kinds;    // each kind found, in the table's order
    std::optional<UntouchedFile> passwords;  // wand.dat
    std::optional<UntouchedFile> cookies;    // cookies4.dat
};

// Counts what `profile` holds, kind by kind. A file that cannot be read is
// named in its kind's `problem`; never throws for bad input.
[[nodiscard]] ProfileSurvey SurveyProfile(const OperaProfile& profile);

// The survey as the command line lists it: the profile's line, one line
// per kind, then the passwords and cookies with their warning. The lines
// hold names as they are (any byte), without line ends.
[[nodiscard]] std::vector<std::string> SurveyLines(const ProfileSurvey& survey);

// The warning shown beside wand.dat and cookies4.dat.
inline constexpr std::string_view kPasswordsWarning =
    "saved passwords: not read and not copied by Quarvo. Anyone with this file can read "
    "them unless Opera had a master password. Copy it only to a place as safe as your "
    "passwords, or open the profile in Opera 12 and move them to a password manager by hand.";
inline constexpr std::string_view kCookiesWarning =
    "cookies: not read and not copied by Quarvo. They keep you logged in to web sites; "
    "today's browsers cannot import them, so log in again instead.";

struct ProfileExportOptions {
    // The ids of the kinds to leave out ("contacts", "mail").
    std::vector<std::string> without;
    // An output folder that holds files is replaced as a whole.
    bool replace = false;
};

// What one kind wrote.
struct ProfileKindExport {
    std::string kind;
    std::string source;
    std::vector<std::string> files;  // relative to the export folder, '/' between folders
    ConversionReport report;         // its counts and warnings
    std::string problem;             // why nothing was written; empty when written
};

struct ProfileExport {
    bool cancelled = false;  // nothing was written
    ProfileSurvey survey;
    std::vector<ProfileKindExport> kinds;  // each kind found and not left out
    std::vector<std::string> left_out;     // the kinds found but left out by the options
};

// Called as each kind starts: its title, and how many of the kinds to
// write are done and in all.
using ProfileProgressSink =
    std::function<void(std::string_view kind, std::size_t done, std::size_t total)>;

// The name of the report in the export folder.
inline constexpr const char* kProfileReportName = "report.html";

// Refuses an export whose folder is, holds or lies in one of the profile's
// files or folders, as the system finds them. Throws ESameFileError.
void CheckProfileExport(const OperaProfile& profile, const std::string& output_folder);

// Exports every kind of `profile` not left out into the new folder
// `output_folder`, written as a whole (FolderOutput): a failure, a signal
// or a cancel leaves the folder as it was. A kind whose file cannot be
// read is named in the report and the rest are written. `cancel` (may be
// null) is looked at between kinds and items. Throws ESameFileError as
// CheckProfileExport, EFCreateError when the folder cannot be made (a
// folder with files without `replace`), EWriteError.
[[nodiscard]] ProfileExport ExportProfile(const OperaProfile& profile,
                                          const std::string& output_folder,
                                          const ProfileExportOptions& options,
                                          const ProfileProgressSink& progress = {},
                                          const std::atomic<bool>* cancel = nullptr);

// The text of report.html for `done`, written into `output_folder` (as
// shown to the user); every name and text escaped.
[[nodiscard]] std::string ProfileReportHtml(const ProfileExport& done,
                                            std::string_view output_folder);

}  // namespace quarvo
