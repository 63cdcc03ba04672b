// SPDX-License-Identifier: MIT
#include "quarvo/profile/profile_discovery.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "files/file_identity.h"
#include "profile/profile_ini.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_listing.h"

namespace quarvo {
namespace {

using profile::AsFolder;
using profile::Folder;
using profile::SameLetters;

// The files whose presence makes a folder a profile (its mail alone does
// not: Opera 10 and later keep that apart).
constexpr const char* kProfileFiles[] = {
    "operaprefs.ini", "opera6.ini",    "bookmarks.adr", "opera6.adr", "contacts.adr",
    "notes.adr",      "speeddial.ini", "search.ini",    "wand.dat",   "cookies4.dat"};

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsProfileFolder(const std::string& folder) {
    for (const char* name : kProfileFiles)
        if (PlainFileExists(folder + name)) return true;
    return IsFolder(folder + "sessions");
}

// The sub-folders of `folder`, by name; none when it cannot be listed.
std::vector<std::string> SubFolders(const std::string& folder) {
    std::vector<std::string> names;
    try {
        for (const FolderEntry& entry : ListFolder(folder))
            if (entry.is_folder) names.push_back(entry.name);
    } catch (const Exception&) {
        return {};
    }
    std::sort(names.begin(), names.end());
    return names;
}

// `folder`'s counterpart in the local application data, where Opera 10 and
// later keep a roaming profile's large files; empty when it has none.
std::string LocalCounterpart(const std::string& folder, const OperaPlaces& places) {
    const std::string roaming = AsFolder(places.app_data);
    if (roaming.empty() || places.local_app_data.empty() || !folder.starts_with(roaming)) return {};
    return AsFolder(places.local_app_data) + folder.substr(roaming.size());
}

std::string Parent(const std::string& folder) {
    const std::size_t end = folder.find_last_of(kPathSeparator, folder.size() - 2);
    return end == std::string::npos ? std::string() : folder.substr(0, end + 1);
}

// A place a profile may be, and where its mail may be besides its own
// "mail" folder, in the order tried.
struct Candidate {
    std::string folder;
    std::vector<std::string> mail_places;
};

// The first readable file of what the ini names for `key` and of the
// default names.
std::string FirstFile(const OperaProfile& found, const profile::IniKey* key,
                      std::initializer_list<std::string_view> names, const OperaPlaces& places,
                      const MessageSink& note) {
    if (key != nullptr) {
        const std::string named = profile::ProfileIniValue(found.folder, *key, note);
        for (const std::string& name : profile::ResolvedNames(named, found.folder, places))
            if (IsReadableFile(name)) return name;
    }
    for (std::string_view name : names)
        if (IsReadableFile(found.folder + std::string(name)))
            return found.folder + std::string(name);
    return {};
}

std::string FindMail(const Candidate& candidate, const OperaPlaces& places,
                     const MessageSink& note) {
    const std::string named =
        profile::ProfileIniValue(candidate.folder, profile::kMailFolderKey, note);
    for (const std::string& name : profile::ResolvedNames(named, candidate.folder, places))
        if (profile::IsMailFolder(AsFolder(name))) return AsFolder(name);
    for (const std::string& place : candidate.mail_places)
        if (!place.empty() && profile::IsMailFolder(place)) return place;
    if (profile::IsMailFolder(candidate.folder + "mail" + kPathSeparator))
        return candidate.folder + "mail" + kPathSeparator;
    return {};
}

std::vector<std::string> SessionFiles(const std::string& profile_folder) {
    const std::string folder = profile_folder + "sessions" + kPathSeparator;
    std::vector<std::string> files;
    try {
        for (const FolderEntry& entry : ListFolder(folder)) {
            const std::string& name = entry.name;
            if (!entry.is_folder && name.size() > 4 &&
                SameLetters(std::string_view(name).substr(name.size() - 4), ".win"))
                files.push_back(folder + name);
        }
    } catch (const Exception&) {
        return {};
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Cookies(const OperaProfile& found, const OperaPlaces& places, const MessageSink& note) {
    std::vector<std::string> folders;
    const std::string named =
        profile::ProfileIniValue(found.folder, profile::kCookiesFolderKey, note);
    for (const std::string& name : profile::ResolvedNames(named, found.folder, places))
        folders.push_back(AsFolder(name));
    folders.push_back(found.folder);
    if (std::string local = LocalCounterpart(found.folder, places); !local.empty())
        folders.push_back(std::move(local));
    for (const std::string& folder : folders)
        if (PlainFileExists(folder + "cookies4.dat")) return folder + "cookies4.dat";
    return {};
}

OperaProfile Describe(const Candidate& candidate, const OperaPlaces& places,
                      const MessageSink& note) {
    OperaProfile found;
    found.folder = candidate.folder;
    const std::string& folder = found.folder;
    found.hotlist =
        FirstFile(found, &profile::kHotlistKey, {"bookmarks.adr", "opera6.adr"}, places, note);
    found.contacts = FirstFile(found, nullptr, {"contacts.adr"}, places, note);
    found.notes = FirstFile(found, &profile::kNotesKey, {"notes.adr"}, places, note);
    found.mail = FindMail(candidate, places, note);
    found.speed_dial = FirstFile(found, &profile::kSpeedDialKey, {"speeddial.ini"}, places, note);
    found.search_engines = FirstFile(found, nullptr, {"search.ini"}, places, note);
    found.sessions = SessionFiles(folder);
    // Never opened: only whether they are there.
    if (PlainFileExists(folder + "wand.dat")) found.passwords = folder + "wand.dat";
    found.cookies = Cookies(found, places, note);
    return found;
}

// The profiles of `candidates` that are profiles, each folder once.
class ProfileList {
  public:
    ProfileList(const OperaPlaces& places, const MessageSink& note)
        : places_(places), note_(note) {}

    bool Add(const Candidate& candidate) {
        if (!IsProfileFolder(candidate.folder)) return false;
        if (!identities_.insert(FileIdentity(candidate.folder)).second) return false;
        profiles_.push_back(Describe(candidate, places_, note_));
        if (!profiles_.back().mail.empty()) mails_.insert(FileIdentity(profiles_.back().mail));
        return true;
    }

    // A mail folder that no profile claimed makes a profile of its own,
    // in the folder that holds it.
    void AddUnclaimedMail(const std::string& mail) {
        if (mail.empty() || !profile::IsMailFolder(mail) ||
            !mails_.insert(FileIdentity(mail)).second)
            return;
        OperaProfile found;
        found.folder = Parent(mail);
        found.mail = mail;
        if (!identities_.insert(FileIdentity(found.folder)).second) return;
        profiles_.push_back(std::move(found));
    }

    [[nodiscard]] std::vector<OperaProfile> Take() { return std::move(profiles_); }
    [[nodiscard]] bool empty() const { return profiles_.empty(); }

  private:
    const OperaPlaces& places_;
    const MessageSink& note_;
    std::set<std::string> identities_;
    std::set<std::string> mails_;
    std::vector<OperaProfile> profiles_;
};

std::string Mail(const std::string& folder) {
    return folder.empty() ? std::string() : folder + "mail" + kPathSeparator;
}

// An install folder of Opera's (Program Files' Opera, or one under the
// Application Data's Opera folder) as it is and with "profile", the way
// Opera 7 to 9 had it.
void AddInstallFolder(ProfileList& list, const std::string& folder, const OperaPlaces& places,
                      bool profile_first) {
    const std::string local = LocalCounterpart(folder, places);
    const Candidate inner{folder + "profile" + kPathSeparator, {Mail(folder), Mail(local)}};
    const Candidate outer{folder, {Mail(local)}};
    if (profile_first) list.Add(inner);
    list.Add(outer);
    if (!profile_first) list.Add(inner);
}

// The Opera folders under the Application Data's or the local application
// data's Opera folder, "Opera" first, the rest by name.
std::vector<std::string> InstallNames(const std::string& opera_folder) {
    std::vector<std::string> names = SubFolders(opera_folder);
    std::stable_partition(names.begin(), names.end(),
                          [](const std::string& name) { return name == "Opera"; });
    return names;
}

}  // namespace

bool OperaProfile::HoldsAnything() const {
    return !hotlist.empty() || !contacts.empty() || !notes.empty() || !mail.empty() ||
           !speed_dial.empty() || !search_engines.empty() || !sessions.empty() ||
           !passwords.empty() || !cookies.empty();
}

std::vector<OperaProfile> FindOperaProfiles(const OperaPlaces& places, const MessageSink& note) {
    ProfileList list(places, note);
    std::vector<std::string> mails;
    if (!places.home.empty()) {
        list.Add({Folder({places.home, ".opera"}), {}});
        const std::string support =
            Folder({places.home, "Library", "Application Support", "Opera"});
        list.Add({Folder({places.home, "Library", "Opera"}), {Mail(support)}});
        list.Add({support, {}});
        mails.push_back(Mail(support));
    }
    std::vector<std::string> program_folders;
    if (!places.program_files.empty())
        program_folders.push_back(Folder({places.program_files, "Opera"}));
    // A 32-bit process is shown the same folder under both names.
    if (!places.program_files_x86.empty() &&
        !SameLetters(AsFolder(places.program_files_x86), AsFolder(places.program_files)))
        program_folders.push_back(Folder({places.program_files_x86, "Opera"}));
    for (const std::string& folder : program_folders) {
        list.Add({folder + "profile" + kPathSeparator, {Mail(folder)}});
        mails.push_back(Mail(folder));
    }
    if (!places.app_data.empty()) {
        const std::string opera = Folder({places.app_data, "Opera"});
        for (const std::string& name : InstallNames(opera)) {
            AddInstallFolder(list, Folder({opera, name}), places, true);
            mails.push_back(Mail(Folder({opera, name})));
        }
    }
    if (!places.local_app_data.empty()) {
        const std::string opera = Folder({places.local_app_data, "Opera"});
        for (const std::string& name : InstallNames(opera))
            mails.push_back(Mail(Folder({opera, name})));
    }
    for (const std::string& mail : mails) list.AddUnclaimedMail(mail);
    return list.Take();
}

std::vector<OperaProfile> OperaProfilesIn(const std::string& given, const OperaPlaces& places,
                                          const MessageSink& note) {
    const std::string folder = AsFolder(given);
    ProfileList list(places, note);
    AddInstallFolder(list, folder, places, false);
    if (list.empty())
        for (const std::string& name : SubFolders(folder))
            AddInstallFolder(list, Folder({folder, name}), places, false);
    if (list.empty()) list.AddUnclaimedMail(Mail(folder));
    if (list.empty() && profile::IsMailFolder(folder)) {
        OperaProfile mail_only;
        mail_only.folder = folder;
        mail_only.mail = folder;
        return {mail_only};
    }
    if (list.empty()) {
        OperaProfile empty;
        empty.folder = folder;
        return {empty};
    }
    return list.Take();
}

}  // namespace quarvo
