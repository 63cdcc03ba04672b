// SPDX-License-Identifier: MIT
// Temporary files of replacements on POSIX systems, and the signal handling
// that removes them when the process is told to end.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include "files/temporary_files.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace temporary_files {
namespace {

constexpr std::string_view kPrefix = ".quarvo-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 12;
constexpr std::string_view kAlphabet = "0123456789abcdefghijklmnopqrstuvwxyz";

// A leftover younger than this may be a file that its writer has created
// but not yet locked, or has just closed to rename it.
constexpr std::time_t kYoungestStale = 10;

// What a signal handler needs to remove a named temporary: its folder's
// descriptor and its name, held in fixed storage, as a handler may neither
// allocate nor lock.
constexpr int kFree = -1;
constexpr int kClaimed = -2;
struct Slot {
    std::atomic<int> folder{kFree};
    std::array<char, 32> name{};
};
std::array<Slot, 16> g_slots;
static_assert(std::atomic<int>::is_always_lock_free);

// How deep RemoveTree goes: far deeper than any folder the program writes,
// with room on the stack of a signal handler for a buffer per level.
constexpr int kDeepestTree = 64;

void RemoveTreeAt(int folder, const char* name, int depth) noexcept {
    if (::unlinkat(folder, name, 0) == 0 || (errno != EISDIR && errno != EPERM) || depth == 0)
        return;
    const int fd = ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        // Entries are read with the system call itself: readdir() allocates.
        // Removing entries while reading may make the listing skip some, so
        // it is read again until a pass removes nothing.
        alignas(8) char buffer[1024];
        for (bool removed = true; removed;) {
            removed = false;
            ::lseek(fd, 0, SEEK_SET);
            long length = 0;
            while ((length = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0) {
                for (long at = 0; at < length;) {
                    const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
                    at += entry->d_reclen;
                    const char* entry_name = entry->d_name;
                    if (std::strcmp(entry_name, ".") == 0 || std::strcmp(entry_name, "..") == 0)
                        continue;
                    RemoveTreeAt(fd, entry_name, depth - 1);
                    removed = true;
                }
            }
        }
        ::close(fd);
    }
    ::unlinkat(folder, name, AT_REMOVEDIR);
}

extern "C" void RemoveRegisteredAndEnd(int signal_number) {
    for (Slot& slot : g_slots) {
        const int folder = slot.folder.load();
        if (folder >= 0) RemoveTreeAt(folder, slot.name.data(), kDeepestTree);
    }
    // SA_RESETHAND has put the default action back: raised again, the
    // signal ends the process with its usual status once this returns.
    ::raise(signal_number);
}

}  // namespace

std::string NewName() {
    static std::atomic<unsigned long long> counter{0};
    unsigned char random[kRandomLength] = {};
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        unsigned long long mix = (static_cast<unsigned long long>(::getpid()) << 32) ^
                                 static_cast<unsigned long long>(std::time(nullptr)) ^
                                 (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
        for (unsigned char& byte : random) {
            mix = mix * 6364136223846793005ull + 1442695040888963407ull;
            byte = static_cast<unsigned char>(mix >> 56);
        }
    }
    std::string name(kPrefix);
    for (const unsigned char byte : random) name += kAlphabet[byte % kAlphabet.size()];
    name += kSuffix;
    return name;
}

bool IsOurs(std::string_view name) noexcept {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    const std::string_view random = name.substr(kPrefix.size(), kRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos;
}

void RemoveTree(int folder, const char* name) noexcept {
    RemoveTreeAt(folder, name, kDeepestTree);
}

bool Registration::Register(int folder, const std::string& name) noexcept {
    Drop();
    if (folder < 0 || name.size() >= Slot{}.name.size()) return false;
    for (std::size_t i = 0; i < g_slots.size(); ++i) {
        int expected = kFree;
        if (!g_slots[i].folder.compare_exchange_strong(expected, kClaimed)) continue;
        std::memcpy(g_slots[i].name.data(), name.c_str(), name.size() + 1);
        g_slots[i].folder.store(folder);
        slot_ = static_cast<int>(i);
        return true;
    }
    return false;
}

void Registration::Drop() noexcept {
    if (slot_ < 0) return;
    g_slots[static_cast<std::size_t>(slot_)].folder.store(kFree);
    slot_ = -1;
}

void RemoveStale(int folder) noexcept {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsOurs(entry->d_name)) continue;
        const int fd = ::openat(folder, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        // Only our own files and folders, unlocked, not touched lately, and
        // still the same under that name when they go.
        if (::fstat(fd, &held) == 0 && (S_ISREG(held.st_mode) || S_ISDIR(held.st_mode)) &&
            held.st_uid == ::geteuid() && now - held.st_mtime >= kYoungestStale &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            RemoveTree(folder, entry->d_name);
        }
        ::close(fd);
    }
    ::closedir(entries);
}

}  // namespace temporary_files

void RemoveTemporariesOnSignals() noexcept {
    constexpr std::array kTerminationSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    for (const int signal_number : kTerminationSignals) {
        struct sigaction previous {};
        if (::sigaction(signal_number, nullptr, &previous) != 0) continue;
        if (previous.sa_handler != SIG_DFL) continue;  // ignored or handled by the caller
        struct sigaction action {};
        action.sa_handler = &temporary_files::RemoveRegisteredAndEnd;
        action.sa_flags = SA_RESETHAND;
        // A second signal waits until the first has removed the files.
        sigemptyset(&action.sa_mask);
        for (const int other : kTerminationSignals) sigaddset(&action.sa_mask, other);
        ::sigaction(signal_number, &action, nullptr);
    }
    // Past the file-size limit, write() then fails with EFBIG, which is an
    // ordinary write error, instead of the process ending with the
    // temporary file left behind.
    struct sigaction previous {};
    if (::sigaction(SIGXFSZ, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL)
        ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quarvo
