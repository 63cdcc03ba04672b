// SPDX-License-Identifier: MIT
#include "default_locations.h"

#include <cstdlib>

#include "quarvo/file_layer.h"

namespace quarvo {
namespace {

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string path;
    for (std::string_view part : parts) {
        if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
        path += part;
    }
    return path;
}

}  // namespace

std::vector<std::string> OperaFileCandidates(const std::string& program_files, OperaFile file) {
    const std::string_view name = file == OperaFile::Contacts ? "contacts.adr" : "opera6.adr";
    // Concatenated, not joined: an empty Program Files folder leaves a name
    // relative to the current folder.
    std::string profile = program_files;
    profile += "Opera";
    profile += kPathSeparator;
    profile += "profile";
    profile += kPathSeparator;
    profile += name;
    std::vector<std::string> candidates{profile};
#ifndef _WIN32
    if (const char* home = std::getenv("HOME"); home && *home) {
        candidates.push_back(joined({home, ".opera", name}));
        if (file == OperaFile::Hotlist)
            candidates.push_back(joined({home, ".opera", "bookmarks.adr"}));
    }
#endif
    return candidates;
}

std::optional<std::string> FindOperaFile(const std::string& program_files, OperaFile file) {
    for (const std::string& candidate : OperaFileCandidates(program_files, file))
        if (PathExists(candidate)) return candidate;
    return std::nullopt;
}

}  // namespace quarvo
