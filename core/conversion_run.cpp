// SPDX-License-Identifier: MIT
#include "quarvo/conversion_run.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "quarvo/contacts.h"
#include "quarvo/file_layer.h"
#include "quarvo/hotlist.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <climits>
#endif

namespace quarvo {
namespace {

// Two names are one file when their identities are equal. An identity is
// the file's own (device and file number) when it exists, else the folder's
// own and the name in it, else the spelling, when not even the folder can be
// found (nothing can be written there then).
std::string SpellingIdentity(const std::string& path) {
    return "path " + path;
}

#ifdef _WIN32

// Volume serial number and file index of what `path` opens, links
// followed; empty when it cannot be opened.
std::string HandleIdentity(const std::string& path) {
    // A drive without a medium would otherwise make the system ask for one.
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    // No access is asked for, so a file open elsewhere still answers;
    // folders open only with backup semantics.
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetErrorMode(previous_mode);
    if (handle == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known) return {};
    const std::uint64_t index =
        (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow};
    return std::to_string(info.dwVolumeSerialNumber) + ':' + std::to_string(index);
}

// Windows file names ignore case: the name as the file system compares it.
std::string FoldedName(const std::string& name) {
    const int size = static_cast<int>(name.size());
    const int wide_size = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    if (wide_size <= 0) return name;
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), wide_size);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

std::string Identity(const std::string& path) {
    if (std::string file = HandleIdentity(path); !file.empty()) return "file " + file;
    // The full name resolves "." and ".." and drops the trailing dots and
    // blanks that Windows drops when it creates the file.
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return SpellingIdentity(path);
    std::string full(needed, '\0');
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), &name);
    if (length == 0 || length >= needed || name == nullptr) return SpellingIdentity(path);
    const std::string folder = HandleIdentity(std::string(full.data(), name));
    if (folder.empty()) return SpellingIdentity(path);
    return "entry " + folder + '/' + FoldedName(std::string(name, full.data() + length));
}

// The full name of `path` as the system finds it: links and junctions
// followed where it exists, else its full name.
std::string FinalPath(const std::string& path) {
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        char final_path[32768];
        const DWORD length =
            GetFinalPathNameByHandleA(handle, final_path, sizeof final_path, FILE_NAME_NORMALIZED);
        CloseHandle(handle);
        if (length > 0 && length < sizeof final_path) {
            std::string found(final_path, length);
            if (found.starts_with("\\\\?\\UNC\\")) return "\\\\" + found.substr(8);
            if (found.starts_with("\\\\?\\")) return found.substr(4);
            return found;
        }
    }
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    return full;
}

bool FolderHolds(const std::string& folder, const std::string& path) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::string folder_identity = HandleIdentity(folder);
    if (folder_identity.empty()) return false;
    std::string above = FinalPath(path);
    for (std::size_t cut = above.find_last_of("\\/"); cut != std::string::npos && cut > 0;
         cut = above.find_last_of("\\/")) {
        above.resize(cut);
        // "C:" alone is the current folder of drive C; its root is "C:\".
        const std::string name = above.size() == 2 && above[1] == ':' ? above + '\\' : above;
        if (HandleIdentity(name) == folder_identity) return true;
        if (name != above) break;
    }
    return false;
}

#else

// The kernel's own limit on links followed in one path.
constexpr int kMostLinksFollowed = 40;

// Where a chain of links that ends nowhere leads: writing through the
// first link makes that file.
std::string EndOfLinks(std::string path) {
    for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
        struct stat entry {};
        if (lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) break;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0) break;
        target.resize(static_cast<std::size_t>(length));
        const auto slash = path.rfind('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return path;
}

std::string Identity(const std::string& path) {
    struct stat file {};
    if (stat(path.c_str(), &file) == 0)
        return "file " + std::to_string(file.st_dev) + ':' + std::to_string(file.st_ino);
    const std::string made = EndOfLinks(path);
    const auto slash = made.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : made.substr(0, slash);
    const std::string name = slash == std::string::npos ? made : made.substr(slash + 1);
    struct stat place {};
    if (name.empty() || name == "." || name == ".." || stat(folder.c_str(), &place) != 0)
        return SpellingIdentity(path);
    return "entry " + std::to_string(place.st_dev) + ':' + std::to_string(place.st_ino) + '/' +
           name;
}

// `path` with its links followed as the system follows them: the file it
// names, or the folder it would be made in and its name there. Empty when
// not even that folder is there.
std::string ResolvedPath(const std::string& path) {
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    const std::string made = EndOfLinks(path);
    const auto slash = made.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : made.substr(0, slash);
    char* real = realpath(folder.c_str(), nullptr);
    if (real == nullptr) return {};
    std::string resolved = real;
    std::free(real);
    return resolved + (resolved == "/" ? "" : "/") + made.substr(slash + 1);
}

bool FolderHolds(const std::string& folder, const std::string& path) {
    struct stat place {};
    if (stat(folder.c_str(), &place) != 0 || !S_ISDIR(place.st_mode)) return false;
    std::string above = ResolvedPath(path);
    while (!above.empty() && above != "/") {
        const auto slash = above.rfind('/');
        above = slash == 0 || slash == std::string::npos ? "/" : above.substr(0, slash);
        struct stat entry {};
        if (stat(above.c_str(), &entry) == 0 && entry.st_dev == place.st_dev &&
            entry.st_ino == place.st_ino)
            return true;
    }
    return false;
}

#endif

struct Named {
    const std::string* path = nullptr;
    std::string identity;
    bool folder = false;
};

Named Identify(const std::string& path, bool folder = false) {
    if (path.empty()) return {};
    return {&path, Identity(path), folder};
}

bool SameFile(const Named& a, const Named& b) {
    return a.path && b.path && a.identity == b.identity;
}

bool Holds(const Named& folder, const Named& other) {
    return folder.path && other.path && folder.folder && FolderHolds(*folder.path, *other.path);
}

}  // namespace

void CheckConversionRun(const ConversionRun& run) {
    std::vector<Named> inputs;
    std::vector<Named> outputs;
    for (const std::optional<ConversionJob>* job : {&run.contacts, &run.bookmarks, &run.notes}) {
        if (!*job) continue;
        inputs.push_back(Identify((*job)->input));
        outputs.push_back(Identify((*job)->output, (*job)->output_is_folder));
    }
    for (const Named& output : outputs) {
        for (const Named& input : inputs) {
            if (SameFile(output, input))
                throw ESameFileError((output.folder ? "Output folder " : "Output file ") +
                                     *output.path + " is the same file as input file " +
                                     *input.path + ": nothing converted");
            if (Holds(output, input))
                throw ESameFileError("Output folder " + *output.path + " holds input file " +
                                     *input.path + ": nothing converted");
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const Named& a = outputs[i];
            const Named& b = outputs[j];
            if (SameFile(a, b))
                throw ESameFileError("Output files " + *a.path + " and " + *b.path +
                                     " are the same file: nothing converted");
            for (const auto& [folder, other] : {std::pair{&a, &b}, std::pair{&b, &a}})
                if (Holds(*folder, *other))
                    throw ESameFileError("Output folder " + *folder->path + " holds output file " +
                                         *other->path + ": nothing converted");
        }
    }
}

// A missing input is decided here, not by the converters: converted as an
// empty file it would replace an existing output by a bare one. The
// converters themselves refuse a missing input, so a file that vanishes
// after this test still leaves the output alone.
ConversionOutcome RunContactsConversion(const ConversionJob& job, const ProgressSink& progress) {
    if (!PathExists(job.input)) return {0, true};
    return {ConvertOperaContacts(job.input, job.output, progress), false};
}

ConversionOutcome RunBookmarksConversion(const ConversionJob& job, const ProgressSink& progress,
                                         const MessageSink& message) {
    if (!PathExists(job.input)) return {0, true};
    return {ConvertOperaBookmarks(job.input, job.output, progress, message), false};
}

ConversionOutcome RunBookmarksConversion(const ConversionJob& job, const BookmarkOptions& options,
                                         ConversionReport* report, const ProgressSink& progress,
                                         const MessageSink& message) {
    if (!PathExists(job.input)) return {0, true};
    if (options.flavour == BookmarkFlavour::kBrowser) {
        ConversionReport unasked;
        return {ConvertOperaBookmarksForBrowsers(job.input, job.output, options.keep_trash,
                                                 report ? *report : unasked, progress, message),
                false};
    }
    const std::int32_t count = ConvertOperaBookmarks(job.input, job.output, progress, message);
    // The tuned converter keeps no tree: the report reads the hotlist again.
    if (report && count != kUnsupportedHotlistVersion)
        ReportInternetExplorerConversion(ReadWholeFile(job.input), count, *report);
    return {count, false};
}

}  // namespace quarvo
