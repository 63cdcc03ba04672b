// SPDX-License-Identifier: MIT
// The file layer on Windows: kernel32 handles with explicit share modes, and
// the directory search for the existence tests.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/file_identity.h"
#include "files/system_support.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger texts go in pieces of
// this size (any file the program meets fits in one).
constexpr std::size_t kLargestRequest = std::size_t{1} << 30;

// Attributes a replacing file takes over from the file it replaces, as the
// POSIX layer keeps the permission bits. A read-only target is refused
// beforehand, as Windows refuses to open it for writing.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The system's text for an error code, without its closing period and line
// break, to follow the file layer's own message.
using files::LastSystemReason;
using files::SystemReason;
using files::WriteAll;

// Set once a command-line program lets names stand for its standard output.
std::atomic<bool> g_standard_output_by_name{false};

// The names under which a program opens the console it writes to.
bool IsConsoleName(std::string_view name) {
    for (const std::string_view console : {"CON", "CONOUT$", "\\\\.\\CON", "\\\\.\\CONOUT$"}) {
        if (name.size() == console.size() &&
            std::equal(name.begin(), name.end(), console.begin(), [](char a, char b) {
                return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
            }))
            return true;
    }
    return false;
}

// The handles of the temporary files being written, for the console's
// control handler: marked for deletion there, they go when the process ends.
std::array<std::atomic<HANDLE>, 16> g_temporaries{};

BOOL WINAPI DeleteTemporariesOnControl(DWORD) {
    for (std::atomic<HANDLE>& slot : g_temporaries) {
        const HANDLE handle = slot.load();
        if (handle == nullptr) continue;
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose);
    }
    return FALSE;  // the default handler ends the process
}

class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle = INVALID_HANDLE_VALUE) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    [[nodiscard]] HANDLE Get() const noexcept { return handle_; }
    [[nodiscard]] bool IsOpen() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

    void Reset(HANDLE handle) noexcept {
        Close();
        handle_ = handle;
    }

    // False when the system reports that the handle could not be closed
    // cleanly (for a file being written: data may not have reached it).
    bool Close() noexcept {
        if (!IsOpen()) return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

// The temporary file beside the target. Unless Keep() is called, it is
// closed and deleted when it goes out of scope.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        Unregister();
        // Deleting needs the exclusive handle closed first.
        handle.Close();
        if (!name.empty()) DeleteFileA(name.c_str());
    }

    void Keep() noexcept { name.clear(); }

    void Register() noexcept {
        for (std::size_t i = 0; i < g_temporaries.size(); ++i) {
            HANDLE expected = nullptr;
            if (g_temporaries[i].compare_exchange_strong(expected, handle.Get())) {
                slot = static_cast<int>(i);
                return;
            }
        }
    }
    // Before the handle closes, so that the control handler never meets a
    // closed one.
    void Unregister() noexcept {
        if (slot >= 0) g_temporaries[static_cast<std::size_t>(slot)].store(nullptr);
        slot = -1;
    }

    std::string name;
    UniqueHandle handle;
    int slot = -1;
};

// Everything up to and including the last path separator (or the drive
// colon of "C:name"); empty for a bare name in the current folder.
std::string FolderPrefix(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string{} : path.substr(0, cut + 1);
}

std::string Hex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

constexpr std::string_view kTemporaryPrefix = "~quarvo-";
constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsTemporaryName(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
    name.remove_prefix(kTemporaryPrefix.size());
    name.remove_suffix(kTemporarySuffix.size());
    return !name.empty() && name.find_first_not_of("0123456789abcdef-") == std::string_view::npos;
}

// Deletes the temporary files in `folder` that runs which were killed left
// behind. One being written cannot be deleted, as its writer shares
// nothing; one written to in the last seconds may be about to be renamed.
void DeleteStaleTemporaries(const std::string& folder) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::uint64_t kYoungestStale = 10 * kTicksPerSecond;
    FILETIME now_time{};
    GetSystemTimeAsFileTime(&now_time);
    const auto ticks = [](const FILETIME& time) {
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    WIN32_FIND_DATAA found{};
    const std::string pattern =
        folder + std::string(kTemporaryPrefix) + "*" + std::string(kTemporarySuffix);
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTemporaryName(found.cFileName) &&
            ticks(now_time) - ticks(found.ftLastWriteTime) >= kYoungestStale) {
            DeleteFileA((folder + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Creates a new file beside `destination` that nobody else can open while
// it is being written. CREATE_NEW makes sure it never is someone else's file.
// False, with the error left for GetLastError(), when it cannot be made.
bool CreateTemporaryFile(const std::string& destination, DWORD attributes,
                         TemporaryFile& temporary) {
    static std::atomic<std::uint32_t> counter{0};
    const std::string folder = FolderPrefix(destination);
    DeleteStaleTemporaries(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::uint64_t unique = (GetTickCount64() << 16) ^ counter.fetch_add(1);
        std::string name = folder + std::string(kTemporaryPrefix) + Hex(GetCurrentProcessId()) +
                           "-" + Hex(unique) + std::string(kTemporarySuffix);
        // DELETE lets the console's control handler mark it for deletion.
        const HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                          CREATE_NEW, attributes, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            temporary.name = std::move(name);
            temporary.handle.Reset(handle);
            temporary.Register();
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

// Writes all of `text`, going on after a partial write; throws EWriteError
// when the system stops taking bytes (disk full, device error).

// The path of the file that `target` (an open handle on the existing file,
// opened through any symbolic link) really is, so that the replacement lands
// there and a link keeps pointing at the replaced file instead of being
// replaced itself. Falls back to the name as given when the system cannot
// tell.
std::string ReplacedPath(const std::string& file_name, HANDLE target) {
    std::string final_path(MAX_PATH, '\0');
    DWORD length = GetFinalPathNameByHandleA(
        target, final_path.data(), static_cast<DWORD>(final_path.size()), VOLUME_NAME_DOS);
    if (length >= final_path.size()) {
        final_path.assign(length, '\0');
        length = GetFinalPathNameByHandleA(target, final_path.data(),
                                           static_cast<DWORD>(final_path.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= final_path.size()) return file_name;
    final_path.resize(length);

    // The answer comes as "\\?\C:\..." or "\\?\UNC\server\...": give it
    // back in the ordinary form the rest of the program uses.
    constexpr std::string_view kUncPrefix = "\\\\?\\UNC\\";
    constexpr std::string_view kLocalPrefix = "\\\\?\\";
    if (final_path.starts_with(kUncPrefix)) return "\\\\" + final_path.substr(kUncPrefix.size());
    if (final_path.starts_with(kLocalPrefix)) return final_path.substr(kLocalPrefix.size());
    return final_path;
}

}  // namespace

struct FileReading::State {
    UniqueHandle file;
    std::size_t size = 0;
};

FileReading::FileReading(const std::string& file_name) : state_(std::make_unique<State>()) {
    // FILE_SHARE_READ only: other readers are welcome, but the open fails
    // while anyone has the file open for writing, and nobody can start
    // writing it while it is read.
    state_->file.Reset(CreateFileA(file_name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!state_->file.IsOpen()) throw EFOpenError(file_name, LastSystemReason());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(state_->file.Get(), &size)) throw EReadError(LastSystemReason());
    if (size.QuadPart < 0) throw EReadError();
    state_->size = static_cast<std::size_t>(size.QuadPart);
}

FileReading::~FileReading() = default;

std::size_t FileReading::size() const noexcept {
    return state_->size;
}

void FileReading::ReadAt(std::size_t offset, char* into, std::size_t bytes) {
    std::size_t done = 0;
    while (done < bytes) {
        // On a handle opened for synchronous reading, the offset in the
        // OVERLAPPED block says where to read; two threads may read apart.
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const auto request = static_cast<DWORD>(std::min(bytes - done, kLargestRequest));
        DWORD arrived = 0;
        if (!ReadFile(state_->file.Get(), into + done, request, &arrived, &where)) {
            const DWORD error = GetLastError();
            if (error != ERROR_HANDLE_EOF) throw EReadError(SystemReason(error));
            arrived = 0;
        }
        if (arrived == 0) throw EReadError();  // the file shrank since its size was taken
        done += arrived;
    }
}

// An existing target is held open for reading and writing with no sharing:
// that refuses a file in use, a read-only file and a folder's name before
// anything is written, and keeps everyone else out while the replacement is
// prepared.
struct FileReplacement::State {
    std::string file_name;
    std::string destination;
    UniqueHandle target;
    TemporaryFile temporary;
    // The standard output, written where it stands and never closed here.
    HANDLE standard_output = nullptr;
    // A device or a pipe (NUL, a console, a named pipe), written where it
    // is, as on POSIX systems.
    UniqueHandle device;

    [[nodiscard]] HANDLE InPlace() const noexcept {
        return standard_output != nullptr ? standard_output
               : device.IsOpen()          ? device.Get()
                                          : nullptr;
    }
};

namespace {

// The open handle of `file_name` when it names no file on a disk; none
// otherwise, and none when it cannot be opened for writing alongside others
// (the replacement's own opening then says why).
HANDLE OpenDevice(const std::string& file_name) {
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const HANDLE handle =
        CreateFileA(file_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetErrorMode(previous_mode);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) return handle;
    CloseHandle(handle);
    return nullptr;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& file_name) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.file_name = file_name;
    if (IsStandardOutput(file_name)) {
        s.standard_output = GetStdHandle(STD_OUTPUT_HANDLE);
        if (s.standard_output == nullptr || s.standard_output == INVALID_HANDLE_VALUE)
            throw EFCreateError(file_name, SystemReason(ERROR_INVALID_HANDLE));
        return;
    }
    if (const HANDLE device = OpenDevice(file_name); device != nullptr) {
        s.device.Reset(device);
        return;
    }
    s.destination = file_name;
    s.target.Reset(CreateFileA(file_name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (s.target.IsOpen()) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(s.target.Get(), &info))
            throw EFCreateError(file_name, LastSystemReason());
        // Windows itself refuses to open a read-only file for writing; an
        // administrator under Wine is let through, so ask the attribute.
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            throw EFCreateError(file_name, SystemReason(ERROR_ACCESS_DENIED));
        if ((info.dwFileAttributes & kKeptAttributes) != 0) {
            attributes = info.dwFileAttributes & kKeptAttributes;
        }
        s.destination = ReplacedPath(file_name, s.target.Get());
    } else if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND) {
        throw EFCreateError(file_name, SystemReason(error));
    }
    if (!CreateTemporaryFile(s.destination, attributes, s.temporary))
        throw EFCreateError(file_name, LastSystemReason());
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::Write(std::string_view piece) {
    const State& s = *state_;
    const HANDLE in_place = s.InPlace();
    WriteAll(in_place != nullptr ? in_place : s.temporary.handle.Get(), piece);
}

void FileReplacement::Commit() {
    State& s = *state_;
    if (const HANDLE in_place = s.InPlace(); in_place != nullptr) {
        // A console or a pipe has nothing to flush to a disk.
        if (GetFileType(in_place) == FILE_TYPE_DISK && !FlushFileBuffers(in_place))
            throw EWriteError(LastSystemReason());
        if (!s.device.Close()) throw EWriteError(LastSystemReason());
        return;
    }
    if (!FlushFileBuffers(s.temporary.handle.Get())) throw EWriteError(LastSystemReason());
    s.temporary.Unregister();
    if (!s.temporary.handle.Close()) throw EWriteError(LastSystemReason());

    // Windows refuses to rename a file over one that has any open handle,
    // even one that shares deletion (NTFS answers "access denied" unless the
    // POSIX rename semantics of Windows 10 are asked for, which Wine and
    // older systems lack; Wine answers the same). ReplaceFile is no way out:
    // it needs the target shared, and when its last step fails without a
    // backup name the old file is already gone. So the hold ends right
    // before a plain rename. Should another program open the file in that
    // instant, the rename fails, the old file stays as it was, and the
    // caller hears that the file is in use.
    s.target.Close();
    if (!MoveFileExA(s.temporary.name.c_str(), s.destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw EFCreateError(s.file_name, LastSystemReason());
    }
    s.temporary.Keep();
}

bool PathExists(const std::string& file_name) noexcept {
    // A drive without a medium would otherwise make the system ask the user
    // to insert one; the answer is simply false.
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(file_name.c_str(), &found);
    const bool exists = search != INVALID_HANDLE_VALUE;
    if (exists) FindClose(search);
    SetErrorMode(previous_mode);
    return exists;
}

bool PlainFileExists(const std::string& file_name) noexcept {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(file_name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReadableFile(const std::string& file_name) noexcept {
    if (file_name.empty()) return false;
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    // Without backup semantics a folder does not open; others may go on
    // writing, as a reader that only looks asks nothing of them.
    const HANDLE file = CreateFileA(file_name.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetErrorMode(previous_mode);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool on_disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return on_disk;
}

std::string MissingReason(const std::string& file_name) {
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(file_name.c_str(), &found);
    const DWORD error = GetLastError();
    SetErrorMode(previous_mode);
    if (search == INVALID_HANDLE_VALUE) return SystemReason(error);
    FindClose(search);
    return {};
}

void TakeStandardOutputByName() noexcept {
    g_standard_output_by_name = true;
}

bool IsStandardOutput(const std::string& file_name) noexcept {
    if (!g_standard_output_by_name || file_name.empty()) return false;
    if (file_name == "-") return true;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) return IsConsoleName(file_name);
    if (GetFileType(out) != FILE_TYPE_DISK) return false;
    try {
        return FileIdentity(file_name) == StandardOutputIdentity();
    } catch (...) {
        return false;
    }
}

// Windows has no signals; what ends a console program from outside is a
// console control event (Ctrl-C, Ctrl-Break, the window closed, logoff).
void RemoveTemporariesOnSignals() noexcept {
    SetConsoleCtrlHandler(&DeleteTemporariesOnControl, TRUE);
}

}  // namespace quarvo
