// SPDX-License-Identifier: MIT
#include "conversions/link_folders.h"

#include <algorithm>

#include "files/file_identity.h"
#include "formats/opera_ini.h"
#include "formats/opera_link_files.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_listing.h"
#include "quarvo/profile/profile_discovery.h"

namespace quarvo {
namespace {

bool IsSessionFile(std::string_view name) {
    return name.size() > 4 && formats::SameLetters(name.substr(name.size() - 4), ".win");
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of(kPathSeparator == '/' ? "/" : "/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> SavedSessionFiles(const std::string& sessions) {
    if (PlainFileExists(sessions)) return {sessions};
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListFolder(sessions))
        if (!entry.is_folder && IsSessionFile(entry.name)) names.push_back(entry.name);
    if (names.empty()) throw EFOpenError(sessions, "it holds no saved session (.win file)");
    // Opera's last session first: it is the one a user moving away wants.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool a_last = formats::SameLetters(a, "autosave.win");
        const bool b_last = formats::SameLetters(b, "autosave.win");
        return a_last != b_last ? a_last : a < b;
    });
    const bool separated =
        !sessions.empty() && (sessions.back() == '/' || sessions.back() == kPathSeparator);
    std::vector<std::string> files;
    for (const std::string& name : names)
        files.push_back(sessions + (separated ? "" : std::string(1, kPathSeparator)) + name);
    return files;
}

std::vector<std::string> LinkFiles(const LinkSources& links) {
    std::vector<std::string> files;
    if (!links.speed_dial.empty()) files.push_back(links.speed_dial);
    if (!links.sessions.empty())
        for (std::string& file : SavedSessionFiles(links.sessions))
            files.push_back(std::move(file));
    if (!links.search_engines.empty()) files.push_back(links.search_engines);
    return files;
}

LinkSources LinkSourcesBeside(const std::string& hotlist_path) {
    const std::size_t slash = hotlist_path.find_last_of(kPathSeparator == '/' ? "/" : "/\\");
    const std::string folder =
        slash == std::string::npos ? std::string(".") : hotlist_path.substr(0, slash + 1);
    // The hotlist's own folder, not one of its folders: no places are searched.
    const std::string identity = FileIdentity(folder);
    for (const OperaProfile& profile : OperaProfilesIn(folder, OperaPlaces{})) {
        if (FileIdentity(profile.folder) != identity) continue;
        LinkSources links{profile.speed_dial, {}, profile.search_engines};
        if (!profile.sessions.empty()) {
            const std::string& first = profile.sessions.front();
            links.sessions = first.substr(0, first.find_last_of(kPathSeparator) + 1);
        }
        return links;
    }
    return {};
}

std::vector<model::BookmarkItem> ReadLinkFolders(const LinkSources& links,
                                                 ConversionReport& report) {
    std::vector<model::BookmarkItem> folders;
    if (!links.speed_dial.empty())
        folders.push_back(formats::ReadSpeedDial(ReadWholeFile(links.speed_dial), report));
    if (!links.sessions.empty()) {
        model::BookmarkItem sessions;
        sessions.kind = model::BookmarkItem::Kind::kFolder;
        sessions.name = formats::kSessionsFolder;
        for (const std::string& file : SavedSessionFiles(links.sessions))
            sessions.children.push_back(formats::ReadSession(ReadWholeFile(file),
                                                             formats::SessionName(FileNameOf(file)),
                                                             report, links.session_history));
        folders.push_back(std::move(sessions));
    }
    if (!links.search_engines.empty())
        folders.push_back(formats::ReadSearchEngines(ReadWholeFile(links.search_engines), report));
    return folders;
}

}  // namespace quarvo
