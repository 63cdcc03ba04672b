// The file layer on POSIX systems.
//
// Sharing: while a file is read, others may read but not write it; while it
// is written, nobody may open it. POSIX has no share modes, so both are
// approximated with open-file-description locks, which only bind programs
// that take them too. A file system without lock support goes on unlocked.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "errors.h"
#include "file_layer.h"
#include "file_seam.h"

namespace quarvo {
namespace file_seam {
namespace {

ssize_t RealWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}
ssize_t RealPread(int fd, void* data, std::size_t size, off_t offset) {
    return ::pread(fd, data, size, offset);
}

constexpr SystemCalls kRealCalls{&RealWrite, &RealPread, &::fsync, &::close, &::rename};
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

// Closes a descriptor on every path out of a scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) noexcept : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    [[nodiscard]] int get() const noexcept { return fd_; }
    [[nodiscard]] bool valid() const noexcept { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded.
    bool Close() noexcept {
        if (fd_ < 0) return true;
        const int fd = fd_;
        fd_ = -1;
        return Calls().close(fd) == 0;
    }

  private:
    int fd_;
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

// Follows symbolic links so that replacing a link's target keeps the link.
std::string ResolveLinks(const std::string& file_name) {
    std::string path = file_name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) return path;
        target.resize(static_cast<std::size_t>(length));
        if (!target.empty() && target.front() == '/') {
            path = target;
        } else {
            const std::size_t slash = path.rfind('/');
            path =
                (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool WriteAll(int fd, std::string_view text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = Calls().write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes a rename in `folder` survive a crash. Some file systems cannot flush
// a folder; the new file is in place either way.
void FlushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)Calls().fsync(fd);
    ::close(fd);
}

// A temporary file beside the target that is removed again unless it was
// renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target)
        : path_(FolderOf(target) + "/." + BaseNameOf(target) + ".quarvo-XXXXXX"),
          fd_(::mkostemp(path_.data(), O_CLOEXEC)) {}
    ~TemporaryFile() {
        fd_.Close();
        if (!renamed_) ::unlink(path_.c_str());
    }
    [[nodiscard]] bool valid() const noexcept { return fd_.valid(); }
    [[nodiscard]] int fd() const noexcept { return fd_.get(); }
    bool Close() noexcept { return fd_.Close(); }
    bool RenameTo(const std::string& target) {
        renamed_ = Calls().rename(path_.c_str(), target.c_str()) == 0;
        return renamed_;
    }

  private:
    std::string path_;
    Descriptor fd_;
    bool renamed_ = false;
};

}  // namespace

struct FileReading::State {
    explicit State(int fd) noexcept : file(fd) {}
    Descriptor file;
    std::size_t size = 0;
};

// Non-blocking, so that a named pipe cannot hang the program.
FileReading::FileReading(const std::string& file_name)
    : state_(std::make_unique<State>(
          ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY))) {
    const int fd = state_->file.get();
    if (fd < 0) throw EFOpenError(file_name);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw EFOpenError(file_name);
    if (LockWholeFile(fd, F_RDLCK) == LockResult::kHeldElsewhere) throw EFOpenError(file_name);
    state_->size = static_cast<std::size_t>(st.st_size);
}

FileReading::~FileReading() = default;

std::size_t FileReading::size() const noexcept {
    return state_->size;
}

void FileReading::ReadAt(std::size_t offset, char* into, std::size_t bytes) {
    std::size_t filled = 0;
    while (filled < bytes) {
        const ssize_t got = Calls().pread(state_->file.get(), into + filled, bytes - filled,
                                          static_cast<off_t>(offset + filled));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw EReadError();  // the file shrank or the device failed
        filled += static_cast<std::size_t>(got);
    }
}

// The target of a replacement, held open and write-locked from the start, so
// that a program that honours the lock never sees it half-way, and the new
// file beside it.
struct FileReplacement::State {
    explicit State(const std::string& name)
        : file_name(name),
          target(ResolveLinks(name)),
          existing(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)),
          open_errno(errno) {}

    std::string file_name;
    std::string target;
    Descriptor existing;
    int open_errno;
    std::optional<TemporaryFile> temporary;
};

FileReplacement::FileReplacement(const std::string& file_name)
    : state_(std::make_unique<State>(file_name)) {
    State& s = *state_;
    struct stat old_state {};
    const bool replacing = s.existing.valid();
    if (replacing) {
        if (::fstat(s.existing.get(), &old_state) != 0 || !S_ISREG(old_state.st_mode))
            throw EFCreateError(file_name);
        if (LockWholeFile(s.existing.get(), F_WRLCK) == LockResult::kHeldElsewhere)
            throw EFCreateError(file_name);
    } else if (s.open_errno != ENOENT) {
        throw EFCreateError(file_name);  // a folder's name, no access, ...
    }

    const TemporaryFile& temporary = s.temporary.emplace(s.target);
    if (!temporary.valid()) throw EFCreateError(file_name);
    if (replacing) {
        (void)::fchown(temporary.fd(), old_state.st_uid, old_state.st_gid);
        if (::fchmod(temporary.fd(), old_state.st_mode & 07777) != 0)
            throw EFCreateError(file_name);
    } else if (::fchmod(temporary.fd(), 0666 & ~CurrentUmask()) != 0) {
        throw EFCreateError(file_name);
    }
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::Write(std::string_view piece) {
    if (!WriteAll(state_->temporary->fd(), piece)) throw EWriteError();
}

void FileReplacement::Commit() {
    State& s = *state_;
    if (Calls().fsync(s.temporary->fd()) != 0 || !s.temporary->Close()) throw EWriteError();
    if (!s.temporary->RenameTo(s.target)) throw EFCreateError(s.file_name);
    s.existing.Close();
    FlushFolder(FolderOf(s.target));
}

bool PathExists(const std::string& file_name) noexcept {
    struct stat st {};
    return !file_name.empty() && ::lstat(file_name.c_str(), &st) == 0;
}

bool PlainFileExists(const std::string& file_name) noexcept {
    struct stat st {};
    if (file_name.empty() || ::lstat(file_name.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode) && ::stat(file_name.c_str(), &st) != 0) return true;  // dangling link
    return !S_ISDIR(st.st_mode);
}

}  // namespace quarvo
