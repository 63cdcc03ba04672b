// SPDX-License-Identifier: MIT
// The file layer on POSIX systems (Linux).
//
// Sharing: while a file is read, others may read but not write it; while it
// is written, nobody may open it. POSIX has no share modes, so both are
// approximated with open-file-description locks, which only bind programs
// that take them too. A file system without lock support goes on unlocked.
//
// Replacing: the target's name is resolved by the kernel, by opening it and
// asking which file was opened, so that the kernel's own checks on links
// (fs.protected_symlinks, the limit of 40) apply as they would to any other
// program. The new content goes to an unnamed file (O_TMPFILE) in the
// target's folder, which is named only once it is complete and then renamed
// over the target: a run killed while writing leaves nothing. Where the
// file system has no unnamed files, the temporary is named from the start,
// and a termination signal removes it (see temporary_files.h).
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "files/file_identity.h"
#include "files/system_support.h"
#include "files/temporary_files.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/file_seam.h"

namespace quarvo {
namespace file_seam {
namespace {

ssize_t RealWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}
ssize_t RealPread(int fd, void* data, std::size_t size, off_t offset) {
    return ::pread(fd, data, size, offset);
}
int RealOpenat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

constexpr SystemCalls kRealCalls{&RealWrite,  &RealPread,  &::fsync,  &::close,
                                 &::renameat, &RealOpenat, &::fchmod, &::fstatfs};
SystemCalls g_calls = kRealCalls;

}  // namespace

SystemCalls& Calls() noexcept {
    return g_calls;
}
void Reset() noexcept {
    g_calls = kRealCalls;
}

}  // namespace file_seam

namespace {

using file_seam::Calls;

using files::BaseNameOf;
using files::FolderOf;
using files::SystemReason;
using files::WriteAll;

constexpr std::string_view kInUse = "it is in use by another program";

// Closes a descriptor on every path out of a scope. Only the descriptors of
// the files read and written close through the seam.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1, bool through_seam = false) noexcept
        : fd_(fd), through_seam_(through_seam) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    [[nodiscard]] int get() const noexcept { return fd_; }
    [[nodiscard]] bool valid() const noexcept { return fd_ >= 0; }
    void Reset(int fd) noexcept {
        Close();
        fd_ = fd;
    }
    // Closes now and reports whether the close succeeded.
    bool Close() noexcept {
        if (fd_ < 0) return true;
        const int fd = fd_;
        fd_ = -1;
        return (through_seam_ ? Calls().close(fd) : ::close(fd)) == 0;
    }

  private:
    int fd_;
    bool through_seam_;
};

enum class LockResult { kLocked, kUnsupported, kHeldElsewhere };

LockResult LockWholeFile(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return LockResult::kLocked;
    if (errno == EAGAIN || errno == EACCES) return LockResult::kHeldElsewhere;
    return LockResult::kUnsupported;
}

// The name under which an open descriptor can be opened again, with the
// access checks of a fresh open.
std::string ProcessLinkOf(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// The full name, without links, of the file `fd` refers to; empty when the
// system cannot tell.
std::string NameOfOpenFile(int fd) {
    std::string name(PATH_MAX, '\0');
    const ssize_t length = ::readlink(ProcessLinkOf(fd).c_str(), name.data(), name.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= name.size()) return {};
    name.resize(static_cast<std::size_t>(length));
    return name.front() == '/' ? name : std::string();
}

bool IsSymbolicLink(const std::string& name) {
    struct stat st {};
    return ::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Whether the kernel reaches `name` through a link of /proc that stands for
// an open file (/dev/stdout, /dev/fd/3, /proc/self/fd/3): that file belongs
// to whoever opened it and is written where it is, not replaced.
bool IsOpenFileAlias(const std::string& name) {
    open_how how{};
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, AT_FDCWD, name.c_str(), &how, sizeof how);
    if (fd >= 0) {
        ::close(static_cast<int>(fd));
        return false;
    }
    if (errno == ENOSYS) {  // a kernel older than 5.6: go by the usual spellings
        return name.starts_with("/proc/") || name.starts_with("/dev/fd/") ||
               name.starts_with("/dev/std");
    }
    return errno == ELOOP;
}

// Set once a command-line program lets names stand for its standard output.
std::atomic<bool> g_standard_output_by_name{false};

// What a file system without permissions (FAT through FUSE, for one)
// answers when a file's permission bits are set.
bool HasNoPermissions(int error) {
    return error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Makes a rename in `folder` survive a crash. Some file systems cannot flush
// a folder; the new file is in place either way.
void FlushFolder(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)Calls().fsync(fd);
    ::close(fd);
}

// The names of the extended attributes of `fd` (POSIX ACLs among them);
// empty where the file system has none.
std::vector<std::string> AttributeNames(int fd, const std::string& file_name) {
    std::string list;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) return {};
            throw EFCreateError(file_name,
                                "cannot read its extended attributes: " + SystemReason(errno));
        }
        list.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got >= 0) {
            list.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return {};
    }
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = list.find('\0', at);
        names.push_back(list.substr(at, end - at));
        at = end == std::string::npos ? list.size() : end + 1;
    }
    return names;
}

std::optional<std::string> AttributeValue(int fd, const std::string& name) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;
    }
}

constexpr std::string_view kAccessList = "system.posix_acl_access";

// Gives `to` the extended attributes of `from`, the access list among them,
// and takes away an access list `to` inherited from its folder that `from`
// did not have: the new file grants no one more than the old one did.
void KeepAttributes(int from, int to, bool group_kept, const std::string& file_name) {
    const std::vector<std::string> old_names = AttributeNames(from, file_name);
    for (const std::string& name : old_names) {
        const std::optional<std::string> value = AttributeValue(from, name);
        if (!value || AttributeValue(to, name) == value) continue;
        // The access list's entry for the owning group would apply to
        // another group than before.
        if (name == kAccessList && !group_kept)
            throw EFCreateError(file_name, "cannot keep its access list: its group cannot be kept");
        if (::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0)
            throw EFCreateError(file_name, "cannot keep its extended attribute " + name + ": " +
                                               SystemReason(errno));
    }
    for (const std::string& name : AttributeNames(to, file_name)) {
        if (!name.starts_with("system.posix_acl") ||
            std::find(old_names.begin(), old_names.end(), name) != old_names.end())
            continue;
        if (::fremovexattr(to, name.c_str()) != 0 && errno != ENODATA)
            throw EFCreateError(file_name,
                                "cannot drop the inherited access list: " + SystemReason(errno));
    }
}

// The new file beside the target: unnamed until Name(), where the file
// system allows. Locked while it lives, so that it never counts as a
// leftover; removed again unless it was renamed into place.
class TemporaryFile {
  public:
    // Throws EFCreateError.
    TemporaryFile(int folder, const std::string& file_name) : folder_(folder) {
        fd_.Reset(Calls().openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
        if (!fd_.valid()) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                throw EFCreateError(file_name, SystemReason(errno));
            CreateNamed(file_name);
        }
        (void)::flock(fd_.get(), LOCK_EX | LOCK_NB);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        fd_.Close();
        if (!name_.empty() && !renamed_) ::unlinkat(folder_, name_.c_str(), 0);
    }

    [[nodiscard]] int fd() const noexcept { return fd_.get(); }

    // Gives an unnamed file its name in the folder.
    bool Name() {
        if (!name_.empty()) return true;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = temporary_files::NewName();
            (void)registration_.Register(folder_, name);
            if (::linkat(AT_FDCWD, ProcessLinkOf(fd_.get()).c_str(), folder_, name.c_str(),
                         AT_SYMLINK_FOLLOW) == 0 ||
                (errno == ENOENT &&  // no /proc: possible with the privilege to
                 ::linkat(fd_.get(), "", folder_, name.c_str(), AT_EMPTY_PATH) == 0)) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST) break;
        }
        registration_.Drop();
        return false;
    }
    bool Close() noexcept { return fd_.Close(); }
    bool RenameTo(const std::string& base) {
        renamed_ = Calls().renameat(folder_, name_.c_str(), folder_, base.c_str()) == 0;
        if (renamed_) registration_.Drop();
        return renamed_;
    }

  private:
    void CreateNamed(const std::string& file_name) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = temporary_files::NewName();
            (void)registration_.Register(folder_, name);
            fd_.Reset(Calls().openat(folder_, name.c_str(),
                                     O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
            if (fd_.valid()) {
                name_ = std::move(name);
                return;
            }
            if (errno != EEXIST) break;
        }
        const int error = errno;
        registration_.Drop();
        throw EFCreateError(file_name, SystemReason(error));
    }

    int folder_;
    Descriptor fd_{-1, true};
    std::string name_;
    temporary_files::Registration registration_;
    bool renamed_ = false;
};

}  // namespace

struct FileReading::State {
    explicit State(int fd) noexcept : file(fd, true) {}
    Descriptor file;
    std::size_t size = 0;
    // The bytes of a file that announced no size, read to its end at once.
    std::optional<std::string> whole;
};

// Non-blocking, so that a named pipe cannot hang the program.
FileReading::FileReading(const std::string& file_name)
    : state_(std::make_unique<State>(
          ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY))) {
    const int fd = state_->file.get();
    if (fd < 0) throw EFOpenError(file_name, SystemReason(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw EFOpenError(file_name, SystemReason(errno));
    if (S_ISDIR(st.st_mode)) throw EFOpenError(file_name, SystemReason(EISDIR));
    if (!S_ISREG(st.st_mode)) throw EFOpenError(file_name, "not a regular file");
    if (LockWholeFile(fd, F_RDLCK) == LockResult::kHeldElsewhere)
        throw EFOpenError(file_name, kInUse);
    state_->size = static_cast<std::size_t>(st.st_size);
    if (st.st_size != 0) return;
    // Files of /proc and of some FUSE file systems announce no size but
    // have content: only reading tells.
    std::string& whole = state_->whole.emplace();
    for (;;) {
        const std::size_t filled = whole.size();
        whole.resize(std::max<std::size_t>(filled * 2, 4096));
        const ssize_t got = ::read(fd, whole.data() + filled, whole.size() - filled);
        if (got < 0 && errno == EINTR) {
            whole.resize(filled);
            continue;
        }
        if (got < 0) throw EReadError(SystemReason(errno));
        whole.resize(filled + static_cast<std::size_t>(got));
        if (got == 0) break;
    }
    state_->size = whole.size();
}

FileReading::~FileReading() = default;

std::size_t FileReading::size() const noexcept {
    return state_->size;
}

void FileReading::ReadAt(std::size_t offset, char* into, std::size_t bytes) {
    if (const std::optional<std::string>& whole = state_->whole) {
        if (offset > whole->size() || bytes > whole->size() - offset) throw EReadError();
        std::memcpy(into, whole->data() + offset, bytes);
        return;
    }
    std::size_t filled = 0;
    while (filled < bytes) {
        const ssize_t got = Calls().pread(state_->file.get(), into + filled, bytes - filled,
                                          static_cast<off_t>(offset + filled));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw EReadError(SystemReason(errno));  // the device failed
        if (got == 0) throw EReadError();                    // the file shrank
        filled += static_cast<std::size_t>(got);
    }
}

// Either the new file beside the target, to be renamed over it, or, for a
// target that is not a regular file of its own (a device, a pipe, a file
// someone opened and handed over as /dev/stdout), the target itself,
// written where it is as `cat` would.
struct FileReplacement::State {
    ~State() {
        temporary.reset();
        // A file created through a link that pointed nowhere is not left
        // behind empty.
        if (placeholder && !committed) {
            struct stat now {};
            if (::fstatat(folder.get(), base.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                now.st_dev == old_state.st_dev && now.st_ino == old_state.st_ino &&
                now.st_size == 0)
                ::unlinkat(folder.get(), base.c_str(), 0);
        }
    }

    std::string file_name;
    Descriptor folder;    // where the target is replaced
    std::string base;     // the target's name in it
    Descriptor existing;  // the replaced file, held read-write and locked
    struct stat old_state {};
    bool placeholder = false;
    bool committed = false;
    std::optional<TemporaryFile> temporary;
    Descriptor in_place{-1, true};
    bool in_place_is_file = false;

    void OpenFolder(const std::string& path);
    void OpenInPlace(bool is_file);
    void OpenStandardOutput();
    void KeepAccess();
};

void FileReplacement::State::OpenFolder(const std::string& path) {
    folder.Reset(::open(FolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) throw EFCreateError(file_name, SystemReason(errno));
    base = BaseNameOf(path);
    if (base.empty() || base == "." || base == "..")
        throw EFCreateError(file_name, SystemReason(EISDIR));
}

void FileReplacement::State::OpenInPlace(bool is_file) {
    // Appending to a file that was handed over keeps what it holds, as
    // `>>` does; a device or a pipe takes the bytes as they come.
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (is_file ? O_APPEND : 0);
    in_place.Reset(::open(file_name.c_str(), flags));
    if (!in_place.valid()) throw EFCreateError(file_name, SystemReason(errno));
    in_place_is_file = is_file;
}

// Written through a copy of the descriptor, so that the bytes go where the
// standard output stands: after what it holds when it was opened to append,
// else from where its last writer left it.
void FileReplacement::State::OpenStandardOutput() {
    in_place.Reset(::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0));
    if (!in_place.valid()) throw EFCreateError(file_name, SystemReason(errno));
    struct stat st {};
    in_place_is_file = ::fstat(in_place.get(), &st) == 0 && S_ISREG(st.st_mode);
}

// The new file takes the owner, group, mode, access list and extended
// attributes of the old one; what it cannot take narrows its access.
void FileReplacement::State::KeepAccess() {
    const int fd = temporary->fd();
    const struct stat& old = old_state;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    struct stat now {};
    if (::fstat(fd, &now) != 0) throw EFCreateError(file_name, SystemReason(errno));
    mode_t mode = old.st_mode & 07777;
    if (now.st_uid != old.st_uid) mode &= ~S_ISUID;
    const bool group_kept = now.st_gid == old.st_gid;
    if (!group_kept) mode &= ~(S_ISGID | S_IRWXG);
    if (Calls().fchmod(fd, mode) != 0) {
        // A file system without permissions gives every file the same bits:
        // the new file is kept when it grants no more than the old one.
        const int error = errno;
        if (!HasNoPermissions(error) || ::fstat(fd, &now) != 0 ||
            (now.st_mode & 07777 & ~mode) != 0)
            throw EFCreateError(file_name, SystemReason(error));
    }
    KeepAttributes(existing.get(), fd, group_kept, file_name);
}

FileReplacement::FileReplacement(const std::string& file_name) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.file_name = file_name;
    if (IsStandardOutput(file_name)) {
        s.OpenStandardOutput();
        return;
    }
    Descriptor target(::open(file_name.c_str(), O_PATH | O_CLOEXEC));
    if (!target.valid()) {
        if (errno != ENOENT) throw EFCreateError(file_name, SystemReason(errno));
        if (!IsSymbolicLink(file_name)) {
            s.OpenFolder(file_name);
            temporary_files::RemoveStale(s.folder.get());
            s.temporary.emplace(s.folder.get(), file_name);
            // Without an old file, no access can widen: a file system
            // without permissions gives the new one what it gives any file.
            if (Calls().fchmod(s.temporary->fd(), 0666 & ~CurrentUmask()) != 0 &&
                !HasNoPermissions(errno))
                throw EFCreateError(file_name, SystemReason(errno));
            return;
        }
        // A link to a file yet to be made: the kernel makes it, under the
        // same checks as for any program writing through the link.
        target.Reset(
            ::open(file_name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
        if (!target.valid()) throw EFCreateError(file_name, SystemReason(errno));
        s.placeholder = true;
    }

    struct stat st {};
    if (::fstat(target.get(), &st) != 0) throw EFCreateError(file_name, SystemReason(errno));
    if (S_ISDIR(st.st_mode)) throw EFCreateError(file_name, SystemReason(EISDIR));
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) ||
        (S_ISREG(st.st_mode) && IsOpenFileAlias(file_name))) {
        s.OpenInPlace(S_ISREG(st.st_mode));
        return;
    }
    if (!S_ISREG(st.st_mode)) throw EFCreateError(file_name, "not a regular file");
    s.old_state = st;

    const std::string real_name = NameOfOpenFile(target.get());
    if (real_name.empty()) throw EFCreateError(file_name, "its folder cannot be told");
    s.OpenFolder(real_name);
    struct stat named {};
    if (::fstatat(s.folder.get(), s.base.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != st.st_dev || named.st_ino != st.st_ino)
        throw EFCreateError(file_name, "it was moved while it was opened");

    s.existing.Reset(
        ::open(ProcessLinkOf(target.get()).c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!s.existing.valid()) throw EFCreateError(file_name, SystemReason(errno));
    if (LockWholeFile(s.existing.get(), F_WRLCK) == LockResult::kHeldElsewhere)
        throw EFCreateError(file_name, kInUse);

    temporary_files::RemoveStale(s.folder.get());
    s.temporary.emplace(s.folder.get(), file_name);
    s.KeepAccess();
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::Write(std::string_view piece) {
    State& s = *state_;
    WriteAll(s.in_place.valid() ? s.in_place.get() : s.temporary->fd(), piece);
}

void FileReplacement::Commit() {
    State& s = *state_;
    if (s.in_place.valid()) {
        if (s.in_place_is_file && Calls().fsync(s.in_place.get()) != 0 && errno != EINVAL)
            throw EWriteError(SystemReason(errno));
        if (!s.in_place.Close()) throw EWriteError(SystemReason(errno));
        s.committed = true;
        return;
    }
    if (Calls().fsync(s.temporary->fd()) != 0) throw EWriteError(SystemReason(errno));
    if (!s.temporary->Name()) throw EFCreateError(s.file_name, SystemReason(errno));
    if (!s.temporary->Close()) throw EWriteError(SystemReason(errno));
    if (!s.temporary->RenameTo(s.base)) throw EFCreateError(s.file_name, SystemReason(errno));
    s.committed = true;
    s.existing.Close();
    FlushFolder(s.folder.get());
}

bool PathExists(const std::string& file_name) noexcept {
    struct stat st {};
    if (file_name.empty()) return false;
    // Only a name that is not there is missing: one that cannot be reached
    // (a folder without search permission, a name too long) exists, and
    // reading it says why it cannot be read.
    return ::lstat(file_name.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool PlainFileExists(const std::string& file_name) noexcept {
    struct stat st {};
    if (file_name.empty()) return false;
    if (::lstat(file_name.c_str(), &st) != 0) return errno != ENOENT && errno != ENOTDIR;
    if (S_ISLNK(st.st_mode) && ::stat(file_name.c_str(), &st) != 0) return true;  // dangling link
    return !S_ISDIR(st.st_mode);
}

bool IsReadableFile(const std::string& file_name) noexcept {
    struct stat st {};
    // The type first: opening a pipe or a device may have effects of its own.
    if (file_name.empty() || ::stat(file_name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

std::string MissingReason(const std::string& file_name) {
    struct stat st {};
    if (::lstat(file_name.c_str(), &st) == 0) return {};
    return SystemReason(errno);
}

void TakeStandardOutputByName() noexcept {
    g_standard_output_by_name = true;
}

bool IsStandardOutput(const std::string& file_name) noexcept {
    if (!g_standard_output_by_name || file_name.empty()) return false;
    if (file_name == "-") return true;
    // A standard output that was closed is held by a file opened for
    // reading only: /dev/null named as an output is then /dev/null.
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags == -1 || (flags & O_ACCMODE) == O_RDONLY) return false;
    try {
        return FileIdentity(file_name) == StandardOutputIdentity();
    } catch (...) {
        return false;
    }
}

}  // namespace quarvo
