// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/file_seam.h"
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

TEST(PathExistsPosix, OnlyANameThatIsNotThereIsMissing) {
    TempFolder folder;
    PutBytes(folder.File("contacts.adr"), "x");
    std::filesystem::create_symlink("loop", folder.File("loop"));
    std::string too_long = folder.File("");
    while (too_long.size() <= PATH_MAX) too_long += "folder/";
    too_long += "contacts.adr";
    // Names that exist or may exist but cannot be reached are read, and the
    // read says why it fails; only these two are missing.
    EXPECT_FALSE(PathExists(folder.File("gone.adr")));
    EXPECT_FALSE(PathExists(folder.File("contacts.adr/below")));
    for (const auto& [name, reason] :
         {std::pair{too_long, ": File name too long"},
          {folder.File("loop/contacts.adr"), ": Too many levels of symbolic links"}}) {
        EXPECT_TRUE(PathExists(name));
        EXPECT_TRUE(PlainFileExists(name));
        try {
            (void)ReadWholeFile(name);
            ADD_FAILURE() << "read " << name;
        } catch (const EFOpenError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file " + name + reason);
        }
    }
}

TEST(ReadWholeFilePosix, FilesThatAnnounceNoSizeAreReadToTheirEnd) {
    struct stat st {};
    ASSERT_EQ(::stat("/proc/self/status", &st), 0);
    ASSERT_EQ(st.st_size, 0) << "no file here announces a size of 0";
    EXPECT_TRUE(ReadWholeFile("/proc/self/status").starts_with("Name:"));
    FileReading file("/proc/self/status");
    std::string text(file.size(), '\0');
    file.ReadAt(0, text.data(), text.size());
    EXPECT_NE(text.find("\nPid:"), std::string::npos);
}

TEST(WriteWholeFilePosix, LinksAreFollowedOnlyAsTheKernelFollowsThem) {
    TempFolder folder;
    const std::string file = folder.File("opera6.adr");
    PutBytes(file, "old");
    // 41 links in a row: one more than the kernel follows.
    std::string link = "opera6.adr";
    for (int i = 1; i <= 41; ++i) {
        const std::string next = "link" + std::to_string(i);
        std::filesystem::create_symlink(link, folder.File(next));
        link = next;
    }
    try {
        WriteWholeFile(folder.File(link), "new");
        ADD_FAILURE() << "wrote through 41 links";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + folder.File(link) +
                                                 ": Too many levels of symbolic links");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File(link)));
    EXPECT_EQ(GetBytes(file), "old");
    WriteWholeFile(folder.File("link40"), "new");
    EXPECT_EQ(GetBytes(file), "new");
    EXPECT_EQ(folder.EntryCount(), 42u);
}

TEST(WriteWholeFilePosix, AnyNameTheFolderTakesCanBeWritten) {
    TempFolder folder;
    const std::string longest = folder.File(std::string(NAME_MAX - 4, 'n') + ".htm");
    WriteWholeFile(longest, "new");
    WriteWholeFile(longest, "newer");
    EXPECT_EQ(GetBytes(longest), "newer");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

// What is not a file of its own, the program writes where it is.
TEST(WriteWholeFilePosix, DevicesAndHandedOverFilesAreWrittenInPlace) {
    TempFolder folder;
    const std::string log = folder.File("log.txt");
    PutBytes(log, "earlier lines\n");
    struct stat before {};
    ASSERT_EQ(::stat(log.c_str(), &before), 0);
    const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(appending, 0);
    WriteWholeFile("/proc/self/fd/" + std::to_string(appending), "html\n");
    ::close(appending);
    WriteWholeFile("/dev/null", "html\n");
    struct stat after {};
    ASSERT_EQ(::stat(log.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the handed-over file was replaced";
    EXPECT_EQ(GetBytes(log), "earlier lines\nhtml\n");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

// An access list as the kernel stores it in system.posix_acl_* attributes:
// a version, then (tag, permissions, id) entries sorted by tag.
std::string AccessList(std::initializer_list<std::array<std::uint32_t, 3>> entries) {
    std::string bytes;
    const auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);
    for (const auto& [tag, permissions, id] : entries) {
        put(tag, 2);
        put(permissions, 2);
        put(id, 4);
    }
    return bytes;
}
constexpr std::uint32_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10,
                        kOther = 0x20, kNoId = 0xFFFFFFFF;

std::optional<std::string> AttributeOf(const std::string& name, const char* attribute) {
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(name.c_str(), attribute, value.data(), value.size());
    if (size < 0) return std::nullopt;
    value.resize(static_cast<std::size_t>(size));
    return value;
}

TEST(WriteWholeFilePosix, KeepsAccessListsAndAttributesAndNeverWidensAccess) {
    TempFolder folder;
    const std::string guarded = folder.File("contacts.csv");
    const std::string plain = folder.File("bookmark.htm");
    PutBytes(guarded, "old");
    PutBytes(plain, "old");
    // The owning group may do nothing, one other user may read.
    const std::string list = AccessList({{kUserObj, 6, kNoId},
                                         {kUser, 4, 1234},
                                         {kGroupObj, 0, kNoId},
                                         {kMask, 4, kNoId},
                                         {kOther, 0, kNoId}});
    if (::setxattr(guarded.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0)
        GTEST_SKIP() << "no access lists here: " << std::strerror(errno);
    ASSERT_EQ(::setxattr(guarded.c_str(), "user.origin", "opera", 5, 0), 0);
    // New files in the folder would let that user write.
    const std::string inherited = AccessList({{kUserObj, 7, kNoId},
                                              {kUser, 7, 1234},
                                              {kGroupObj, 7, kNoId},
                                              {kMask, 7, kNoId},
                                              {kOther, 0, kNoId}});
    ASSERT_EQ(::setxattr(folder.path().c_str(), "system.posix_acl_default", inherited.data(),
                         inherited.size(), 0),
              0);
    const std::optional<std::string> kept = AttributeOf(guarded, "system.posix_acl_access");
    const mode_t guarded_mode = ModeOf(guarded);
    const mode_t plain_mode = ModeOf(plain);

    WriteWholeFile(guarded, "new");
    WriteWholeFile(plain, "new");
    EXPECT_EQ(AttributeOf(guarded, "system.posix_acl_access"), kept);
    EXPECT_EQ(AttributeOf(guarded, "user.origin"), "opera");
    EXPECT_EQ(ModeOf(guarded), guarded_mode);
    EXPECT_EQ(AttributeOf(plain, "system.posix_acl_access"), std::nullopt);
    EXPECT_EQ(ModeOf(plain), plain_mode);
    EXPECT_EQ(GetBytes(guarded), "new");
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
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file " + name + ": it is in use by another program");
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
