// SPDX-License-Identifier: MIT
#include "quarvo/conversion_run.h"

#include <array>
#include <cstdint>
#include <string>

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

#endif

struct Named {
    const std::string* path = nullptr;
    std::string identity;
};

Named Identify(const std::optional<ConversionJob>& job, std::string ConversionJob::*name) {
    if (!job || ((*job).*name).empty()) return {};
    const std::string& path = (*job).*name;
    return {&path, Identity(path)};
}

bool SameFile(const Named& a, const Named& b) {
    return a.path && b.path && a.identity == b.identity;
}

}  // namespace

void CheckConversionRun(const ConversionRun& run) {
    const std::array<Named, 2> inputs = {Identify(run.contacts, &ConversionJob::input),
                                         Identify(run.bookmarks, &ConversionJob::input)};
    const std::array<Named, 2> outputs = {Identify(run.contacts, &ConversionJob::output),
                                          Identify(run.bookmarks, &ConversionJob::output)};
    for (const Named& output : outputs)
        for (const Named& input : inputs)
            if (SameFile(output, input))
                throw ESameFileError("Output file " + *output.path +
                                     " is the same file as input file " + *input.path +
                                     ": nothing converted");
    if (SameFile(outputs[0], outputs[1]))
        throw ESameFileError("Output files " + *outputs[0].path + " and " + *outputs[1].path +
                             " are the same file: nothing converted");
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
