// SPDX-License-Identifier: MIT
// Folder outputs on POSIX systems (Linux): a temporary folder of ours beside
// the target, held with an flock while it is written so that no other run
// takes it for a leftover, renamed into place (or swapped with the old
// folder with RENAME_EXCHANGE) once every file in it reached the disk.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/system_support.h"
#include "files/temporary_files.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_seam.h"
#include "quarvo/files/folder_output.h"

namespace quarvo {
namespace {

using file_seam::Calls;

using files::BaseNameOf;
using files::FolderOf;
using files::SystemReason;
using files::WriteAll;

// "out/" names the folder "out".
std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// A name inside the new folder: relative, each part a plain name. Anything
// else would write outside the folder, which no caller means to do.
void CheckRelative(std::string_view relative, const std::string& target) {
    bool plain = !relative.empty() && relative.front() != '/' && relative.back() != '/';
    std::size_t start = 0;
    while (plain && start <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string_view part = relative.substr(start, end - start);
        plain = !part.empty() && part != "." && part != "..";
        start = end + 1;
    }
    if (!plain)
        throw EFCreateError(target + "/" + std::string(relative), "not a name inside the folder");
}

bool IsEmptyFolder(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* entries = ::fdopendir(fd);
    if (entries == nullptr) {
        ::close(fd);
        return false;
    }
    bool empty = true;
    while (const dirent* entry = ::readdir(entries)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    ::closedir(entries);
    return empty;
}

}  // namespace

struct FolderOutput::File::State {
    int fd = -1;
    ~State() {
        if (fd >= 0) ::close(fd);
    }
};

FolderOutput::File::File(std::unique_ptr<State> state) : state_(std::move(state)) {}
FolderOutput::File::File(File&&) noexcept = default;
FolderOutput::File& FolderOutput::File::operator=(File&&) noexcept = default;
FolderOutput::File::~File() = default;

void FolderOutput::File::Write(std::string_view piece) {
    WriteAll(state_->fd, piece);
}

void FolderOutput::File::SetModificationTime(std::time_t when) noexcept {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    // On the open file: no second walk of its path.
    (void)::futimens(state_->fd, times);
}

void FolderOutput::File::Close() {
    const int fd = state_->fd;
    state_->fd = -1;
    if (fd >= 0 && Calls().close(fd) != 0) throw EWriteError(SystemReason(errno));
}

struct FolderOutput::State {
    std::string target;       // as given, for messages
    std::string target_name;  // its last part, in `parent`
    int parent = -1;
    std::string temporary;  // the name of ours in `parent`
    int folder = -1;        // the temporary folder, flocked
    bool replace = false;
    bool committed = false;
    temporary_files::Registration registration;

    ~State() {
        registration.Drop();
        if (folder >= 0) ::close(folder);
        if (!committed && !temporary.empty())
            temporary_files::RemoveTree(parent, temporary.c_str());
        if (parent >= 0) ::close(parent);
    }
};

FolderOutput::FolderOutput(const std::string& target, bool replace)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.target = target;
    s.replace = replace;
    // A link to a folder has the folder it names written, as a file's link
    // has its file replaced.
    std::string resolved = WithoutTrailingSlashes(target);
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(target.c_str(), nullptr);
        if (real == nullptr) throw EFCreateError(target, SystemReason(errno));
        resolved = real;
        std::free(real);
    }
    s.target_name = BaseNameOf(resolved);
    s.parent = ::open(FolderOf(resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (s.parent < 0) throw EFCreateError(target, SystemReason(errno));

    if (::fstatat(s.parent, s.target_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISDIR(st.st_mode)) throw EFCreateError(target, SystemReason(ENOTDIR));
        if (!replace && !IsEmptyFolder(s.parent, s.target_name))
            throw EFCreateError(target, "Folder is not empty");
    } else if (errno != ENOENT) {
        throw EFCreateError(target, SystemReason(errno));
    }

    temporary_files::RemoveStale(s.parent);
    s.temporary = temporary_files::NewName();
    if (::mkdirat(s.parent, s.temporary.c_str(), 0777) != 0) {
        const int error = errno;
        s.temporary.clear();
        throw EFCreateError(target, SystemReason(error));
    }
    s.registration.Register(s.parent, s.temporary);
    s.folder = ::openat(s.parent, s.temporary.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (s.folder < 0) throw EFCreateError(target, SystemReason(errno));
    (void)::flock(s.folder, LOCK_EX | LOCK_NB);
}

FolderOutput::~FolderOutput() = default;

void FolderOutput::MakeFolder(std::string_view relative) {
    CheckRelative(relative, state_->target);
    const std::string name(relative);
    if (::mkdirat(state_->folder, name.c_str(), 0777) != 0)
        throw EFCreateError(state_->target + "/" + name, SystemReason(errno));
}

FolderOutput::File FolderOutput::NewFile(std::string_view relative) {
    CheckRelative(relative, state_->target);
    const std::string name(relative);
    auto file = std::make_unique<File::State>();
    file->fd = Calls().openat(state_->folder, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file->fd < 0) throw EFCreateError(state_->target + "/" + name, SystemReason(errno));
    return File(std::move(file));
}

void FolderOutput::WriteFile(std::string_view relative, std::string_view bytes) {
    File file = NewFile(relative);
    file.Write(bytes);
    file.Close();
}

void FolderOutput::SetModificationTime(std::string_view relative, std::time_t when) noexcept {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    const std::string name(relative);
    (void)::utimensat(state_->folder, name.empty() ? "." : name.c_str(), times,
                      AT_SYMLINK_NOFOLLOW);
}

void FolderOutput::Commit() {
    State& s = *state_;
    // One flush of the file system that holds the folder puts every file of
    // it on the disk, where a flush per file would cost a wait per file.
    if (::syncfs(s.folder) != 0 || Calls().fsync(s.folder) != 0)
        throw EWriteError(SystemReason(errno));

    struct stat old {};
    const bool exists = ::fstatat(s.parent, s.target_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    // The new folder never gives more access than the one it replaces.
    if (exists && S_ISDIR(old.st_mode)) (void)::fchmod(s.folder, old.st_mode & 07777);

    std::string old_folder;  // where the replaced folder went, to be removed
    if (!exists || IsEmptyFolder(s.parent, s.target_name)) {
        if (Calls().renameat(s.parent, s.temporary.c_str(), s.parent, s.target_name.c_str()) != 0)
            throw EFCreateError(s.target, SystemReason(errno == EEXIST ? ENOTEMPTY : errno));
    } else if (!s.replace || !S_ISDIR(old.st_mode)) {
        throw EFCreateError(s.target,
                            S_ISDIR(old.st_mode) ? "Folder is not empty" : SystemReason(ENOTDIR));
    } else if (::renameat2(s.parent, s.temporary.c_str(), s.parent, s.target_name.c_str(),
                           RENAME_EXCHANGE) == 0) {
        old_folder = s.temporary;
    } else {
        // Without an exchange the old folder steps aside first; a failure in
        // between puts it back.
        const std::string aside = temporary_files::NewName();
        if (Calls().renameat(s.parent, s.target_name.c_str(), s.parent, aside.c_str()) != 0)
            throw EFCreateError(s.target, SystemReason(errno));
        if (Calls().renameat(s.parent, s.temporary.c_str(), s.parent, s.target_name.c_str()) != 0) {
            const int error = errno;
            (void)::renameat(s.parent, aside.c_str(), s.parent, s.target_name.c_str());
            throw EFCreateError(s.target, SystemReason(error));
        }
        old_folder = aside;
    }
    s.committed = true;
    s.registration.Drop();
    ::close(s.folder);
    s.folder = -1;
    if (!old_folder.empty()) temporary_files::RemoveTree(s.parent, old_folder.c_str());
    (void)Calls().fsync(s.parent);
}

}  // namespace quarvo
