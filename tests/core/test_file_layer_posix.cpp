#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "errors.h"
#include "file_layer.h"
#include "file_seam.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

mode_t ModeOf(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(::stat(name.c_str(), &st), 0);
    return st.st_mode & 07777;
}

TEST(WriteWholeFilePosix, KeepsThePermissionBitsOfTheReplacedFile) {
    TempFolder folder;
    const std::string name = folder.File("contacts.adr");
    PutBytes(name, "old");
    ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
    WriteWholeFile(name, "new");
    EXPECT_EQ(ModeOf(name), 0640u);
    EXPECT_EQ(GetBytes(name), "new");
}

TEST(WriteWholeFilePosix, NewFilesFollowTheUmask) {
    TempFolder folder;
    const mode_t old_mask = ::umask(022);
    WriteWholeFile(folder.File("new.csv"), "x");
    ::umask(old_mask);
    EXPECT_EQ(ModeOf(folder.File("new.csv")), 0644u);
}

TEST(WriteWholeFilePosix, ReplacesTheFileALinkPointsTo) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("real"));
    const std::string target = folder.File("real/opera6.adr");
    PutBytes(target, "old");
    const std::string link = folder.File("link.adr");
    std::filesystem::create_symlink("real/opera6.adr", link);
    WriteWholeFile(link, "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(GetBytes(target), "new");
}

TEST(WriteWholeFilePosix, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string name = folder.File("opera6.adr");
    PutBytes(name, "the user's only copy");
    file_seam::Calls().write = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    EXPECT_THROW(WriteWholeFile(name, "replacement"), EWriteError);
    file_seam::Reset();
    EXPECT_EQ(GetBytes(name), "the user's only copy");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteWholeFilePosix, ShortWritesAreContinued) {
    TempFolder folder;
    file_seam::Calls().write = [](int fd, const void* data, std::size_t size) -> ssize_t {
        return ::write(fd, data, size < 3 ? size : 3);
    };
    WriteWholeFile(folder.File("out"), "several short writes");
    file_seam::Reset();
    EXPECT_EQ(GetBytes(folder.File("out")), "several short writes");
}

TEST(PathExistsPosix, WildcardsAreOrdinaryCharacters) {
    TempFolder folder;
    PutBytes(folder.File("contacts.adr"), "x");
    EXPECT_FALSE(PathExists(folder.File("*.adr")));
    EXPECT_FALSE(PathExists(folder.File("contacts.ad?")));
    PutBytes(folder.File("*.adr"), "x");
    EXPECT_TRUE(PathExists(folder.File("*.adr")));
}

TEST(PathExistsPosix, LinksToFoldersAreNoPlainFiles) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("dir"));
    std::filesystem::create_directory_symlink("dir", folder.File("link"));
    EXPECT_TRUE(PathExists(folder.File("link")));
    EXPECT_FALSE(PlainFileExists(folder.File("link")));
}

TEST(ReadWholeFilePosix, RefusesNamedPipesInsteadOfHanging) {
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW((void)ReadWholeFile(fifo), EFOpenError);
}

// Another process holding a lock on the file, for the length of the test.
class LockingChild {
  public:
    LockingChild(const std::string& name, short type) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(name.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock lock {};
            lock.l_type = type;
            lock.l_whence = SEEK_SET;
            const char ok = (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0) ? '1' : '0';
            (void)::write(ready[1], &ok, 1);
            ::pause();
            ::_exit(0);
        }
        char ok = '0';
        EXPECT_EQ(::read(ready[0], &ok, 1), 1);
        locked_ = ok == '1';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockingChild() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    [[nodiscard]] bool locked() const { return locked_; }

  private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

TEST(FileSharingPosix, AFileBeingWrittenCannotBeRead) {
    TempFolder folder;
    const std::string name = folder.File("opera6.adr");
    PutBytes(name, "busy");
    LockingChild writer(name, F_WRLCK);
    if (!writer.locked()) GTEST_SKIP() << "this file system has no locks";
    try {
        (void)ReadWholeFile(name);
        ADD_FAILURE() << "read a file that another program is writing";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + name);
    }
}

TEST(FileSharingPosix, AFileBeingReadCannotBeReplaced) {
    TempFolder folder;
    const std::string name = folder.File("contacts.csv");
    PutBytes(name, "being read");
    LockingChild reader(name, F_RDLCK);
    if (!reader.locked()) GTEST_SKIP() << "this file system has no locks";
    EXPECT_THROW(WriteWholeFile(name, "new"), EFCreateError);
    EXPECT_EQ(GetBytes(name), "being read");
    EXPECT_EQ(folder.EntryCount(), 1u);
    // Readers do not keep each other out.
    EXPECT_EQ(ReadWholeFile(name), "being read");
}

}  // namespace
}  // namespace quarvo
