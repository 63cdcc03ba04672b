// SPDX-License-Identifier: MIT
// Folder outputs on Windows: a temporary folder of ours beside the target,
// held open while it is written so that no other run takes it for a
// leftover, renamed into place once every file in it was flushed. The
// target's name is in the system's code page, as every name the program is
// given; the names inside come in UTF-8 (a note's title), so the folder is
// worked with through the wide-character calls.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "files/system_support.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/folder_output.h"

namespace quarvo {
namespace {

using files::SystemReason;
using files::WriteAll;

std::wstring Wide(std::string_view text, UINT code_page) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

// A name inside the new folder, with Windows' separators: relative, each
// part a plain name. Anything else would write outside the folder.
std::wstring Inside(std::string_view relative, const std::string& target) {
    bool plain = !relative.empty();
    std::size_t start = 0;
    while (plain && start <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string_view part = relative.substr(start, end - start);
        plain = !part.empty() && part != "." && part != ".." &&
                part.find_first_of("\\:") == std::string_view::npos;
        start = end + 1;
    }
    if (!plain)
        throw EFCreateError(target + "\\" + std::string(relative), "not a name inside the folder");
    std::wstring wide = Wide(relative, CP_UTF8);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

bool IsEmptyFolder(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool empty = true;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") empty = false;
    } while (empty && FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

HANDLE OpenFolder(const std::wstring& path, DWORD share) {
    return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

constexpr std::wstring_view kTemporaryPrefix = L"~quarvo-";
constexpr std::wstring_view kTemporarySuffix = L".tmp";

// Removes the temporary folders in `parent` that killed runs left: one
// being written is held open by its writer, so it cannot be opened alone,
// and one made in the last seconds may not be held yet.
void RemoveStaleFolders(const std::wstring& parent) {
    constexpr std::uint64_t kYoungestStale = 10 * 10'000'000ull;
    const auto ticks = [](const FILETIME& time) {
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    WIN32_FIND_DATAW found{};
    const std::wstring pattern =
        parent + L"\\" + std::wstring(kTemporaryPrefix) + L"*" + std::wstring(kTemporarySuffix);
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            ticks(now) - ticks(found.ftCreationTime) < kYoungestStale) {
            continue;
        }
        const std::wstring path = parent + L"\\" + found.cFileName;
        const HANDLE alone = OpenFolder(path, 0);
        if (alone == INVALID_HANDLE_VALUE) continue;
        CloseHandle(alone);
        RemoveTree(path);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring Hex(std::uint64_t value) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

}  // namespace

struct FolderOutput::File::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~State() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

FolderOutput::File::File(std::unique_ptr<State> state) : state_(std::move(state)) {}
FolderOutput::File::File(File&&) noexcept = default;
FolderOutput::File& FolderOutput::File::operator=(File&&) noexcept = default;
FolderOutput::File::~File() = default;

void FolderOutput::File::Write(std::string_view piece) {
    WriteAll(state_->handle, piece);
}

void FolderOutput::File::SetModificationTime(std::time_t when) noexcept {
    // FILETIME counts 100 ns from 1601; 1970 is 11644473600 s later.
    const std::uint64_t ticks = (static_cast<std::uint64_t>(when) + 11644473600ull) * 10'000'000ull;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(state_->handle, nullptr, nullptr, &time);
}

void FolderOutput::File::Close() {
    const HANDLE handle = state_->handle;
    state_->handle = INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) return;
    // Flushed one by one: Windows has no flush of a whole folder.
    const bool flushed = FlushFileBuffers(handle) != 0;
    const DWORD error = GetLastError();
    if (!CloseHandle(handle) || !flushed)
        throw EWriteError(SystemReason(flushed ? GetLastError() : error));
}

struct FolderOutput::State {
    std::string target;
    std::wstring target_path;
    std::wstring temporary;  // full path; empty once it is gone
    HANDLE hold = INVALID_HANDLE_VALUE;
    bool replace = false;

    ~State() {
        if (hold != INVALID_HANDLE_VALUE) CloseHandle(hold);
        if (!temporary.empty()) RemoveTree(temporary);
    }
};

FolderOutput::FolderOutput(const std::string& target, bool replace)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.target = target;
    s.replace = replace;
    s.target_path = Wide(target, CP_ACP);
    while (s.target_path.size() > 1 &&
           (s.target_path.back() == L'\\' || s.target_path.back() == L'/')) {
        s.target_path.pop_back();
    }
    const DWORD attributes = GetFileAttributesW(s.target_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            throw EFCreateError(target, SystemReason(ERROR_DIRECTORY));
        if (!replace && !IsEmptyFolder(s.target_path))
            throw EFCreateError(target, "Folder is not empty");
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        throw EFCreateError(target, SystemReason(GetLastError()));
    }

    const std::size_t cut = s.target_path.find_last_of(L"\\/:");
    const std::wstring parent = cut == std::wstring::npos ? L"." : s.target_path.substr(0, cut);
    RemoveStaleFolders(parent);
    static std::atomic<std::uint32_t> counter{0};
    for (int attempt = 0; attempt < 100 && s.temporary.empty(); ++attempt) {
        const std::uint64_t unique = (GetTickCount64() << 16) ^ counter.fetch_add(1);
        std::wstring name = parent + L"\\" + std::wstring(kTemporaryPrefix) +
                            Hex(GetCurrentProcessId()) + L"-" + Hex(unique) +
                            std::wstring(kTemporarySuffix);
        if (CreateDirectoryW(name.c_str(), nullptr)) {
            s.temporary = std::move(name);
        } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw EFCreateError(target, SystemReason(GetLastError()));
        }
    }
    if (s.temporary.empty()) throw EFCreateError(target, SystemReason(ERROR_ALREADY_EXISTS));
    SetFileAttributesW(s.temporary.c_str(), FILE_ATTRIBUTE_HIDDEN);
    s.hold = OpenFolder(s.temporary, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

FolderOutput::~FolderOutput() = default;

void FolderOutput::MakeFolder(std::string_view relative) {
    const std::wstring path = state_->temporary + L"\\" + Inside(relative, state_->target);
    if (!CreateDirectoryW(path.c_str(), nullptr))
        throw EFCreateError(state_->target + "\\" + std::string(relative),
                            SystemReason(GetLastError()));
}

FolderOutput::File FolderOutput::NewFile(std::string_view relative) {
    const std::wstring path = state_->temporary + L"\\" + Inside(relative, state_->target);
    auto file = std::make_unique<File::State>();
    file->handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file->handle == INVALID_HANDLE_VALUE)
        throw EFCreateError(state_->target + "\\" + std::string(relative),
                            SystemReason(GetLastError()));
    return File(std::move(file));
}

void FolderOutput::WriteFile(std::string_view relative, std::string_view bytes) {
    File file = NewFile(relative);
    file.Write(bytes);
    file.Close();
}

void FolderOutput::SetModificationTime(std::string_view relative, std::time_t when) noexcept {
    const std::wstring path =
        relative.empty() ? state_->temporary : state_->temporary + L"\\" + Wide(relative, CP_UTF8);
    const HANDLE handle =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    // FILETIME counts 100 ns from 1601; 1970 is 11644473600 s later.
    const std::uint64_t ticks = (static_cast<std::uint64_t>(when) + 11644473600ull) * 10'000'000ull;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(handle, nullptr, nullptr, &time);
    CloseHandle(handle);
}

void FolderOutput::Commit() {
    State& s = *state_;
    CloseHandle(s.hold);
    s.hold = INVALID_HANDLE_VALUE;
    SetFileAttributesW(s.temporary.c_str(), FILE_ATTRIBUTE_NORMAL);

    const DWORD attributes = GetFileAttributesW(s.target_path.c_str());
    std::wstring old_folder;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            throw EFCreateError(s.target, SystemReason(ERROR_DIRECTORY));
        if (!s.replace && !IsEmptyFolder(s.target_path))
            throw EFCreateError(s.target, "Folder is not empty");
        // Windows renames no folder over another: the old one steps aside
        // first, and comes back when the new one cannot take its place.
        static std::atomic<std::uint32_t> counter{0};
        old_folder = s.temporary.substr(0, s.temporary.size() - kTemporarySuffix.size()) + L"-" +
                     Hex(counter.fetch_add(1)) + std::wstring(kTemporarySuffix);
        if (!MoveFileExW(s.target_path.c_str(), old_folder.c_str(), 0))
            throw EFCreateError(s.target, SystemReason(GetLastError()));
    }
    if (!MoveFileExW(s.temporary.c_str(), s.target_path.c_str(), 0)) {
        const DWORD error = GetLastError();
        if (!old_folder.empty()) MoveFileExW(old_folder.c_str(), s.target_path.c_str(), 0);
        throw EFCreateError(s.target, SystemReason(error));
    }
    s.temporary.clear();
    if (!old_folder.empty()) RemoveTree(old_folder);
}

}  // namespace quarvo
