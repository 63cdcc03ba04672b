// SPDX-License-Identifier: MIT
// Faults while reading and writing files: missing folders, folders where a
// file should be, files locked by another process, no access, a full disk, a
// file that shrinks while it is read, and system calls that fail part-way.
// After each: the error kind and message of the file layer, the previous
// output byte for byte as it was, and no temporary file left beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/file_seam.h"
#include "temp_folder.h"

extern char** environ;

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;
namespace fs = std::filesystem;

constexpr std::string_view kPrevious = "the previous output, which must survive\r\n";
constexpr std::string_view kHotlist =
    "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
    "#URL\r\n\tNAME=Weather\r\n\tURL=http://example.org/weather\r\n\tCREATED=1100000000\r\n\r\n"
    "#URL\r\n\tNAME=News\r\n\tURL=http://example.org/news\r\n\tCREATED=1100000001\r\n\r\n";
constexpr std::string_view kContacts =
    "Opera Hotlist version 2.0\r\n\r\n"
    "#CONTACT\r\n\tNAME=Anna Dahl\r\n\tMAIL=anna@example.org\r\n\tICON=Contact0\r\n\r\n";

// Runs `action` and returns the message of the error of kind E it throws;
// fails the test when it throws nothing or something else.
template <typename E>
std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& error) {
        return error.what();
    } catch (const std::exception& other) {
        ADD_FAILURE() << "wrong error kind: " << other.what();
        return {};
    }
    ADD_FAILURE() << "no error";
    return {};
}

// ---------------------------------------------------------------------------
// Names that cannot be read or written.

TEST(FaultNames, OutputFolderMissing) {
    TempFolder folder;
    const std::string out = folder.File("no such folder/contacts.csv");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(out, "text"); }),
              "Cannot create file " + out + ": No such file or directory");
    PutBytes(folder.File("none.adr"), "");
    EXPECT_EQ(
        MessageOf<EFCreateError>([&] { (void)ConvertOperaContacts(folder.File("none.adr"), out); }),
        "Cannot create file " + out + ": No such file or directory");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FaultNames, OutputNameIsAFolder) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    fs::create_directory(out);
    PutBytes(folder.File("bookmark.htm/inside.txt"), kPrevious);
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(out, "text"); }),
              "Cannot create file " + out + ": Is a directory");
    PutBytes(folder.File("none.adr"), "");
    EXPECT_EQ(MessageOf<EFCreateError>(
                  [&] { (void)ConvertOperaBookmarks(folder.File("none.adr"), out); }),
              "Cannot create file " + out + ": Is a directory");
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(GetBytes(folder.File("bookmark.htm/inside.txt")), kPrevious);
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST(FaultNames, InputThatIsAFolderCannotBeOpened) {
    TempFolder folder;
    const std::string in = folder.File("opera6.adr");
    const std::string out = folder.File("bookmark.htm");
    fs::create_directory(in);
    PutBytes(out, kPrevious);
    const std::string message = "Cannot open file " + in + ": Is a directory";
    EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(in); }), message);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ConvertOperaBookmarks(in, out); }), message);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ConvertOperaContacts(in, out); }), message);
    EXPECT_EQ(GetBytes(out), kPrevious);
    EXPECT_EQ(folder.EntryCount(), 2u);
}

// ---------------------------------------------------------------------------
// Another process holding a lock.

// A child process that holds an open-file-description lock on a file until
// it is let go.
class LockingProcess {
  public:
    LockingProcess(const std::string& file_name, short type) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = ::open(file_name.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock lock {};
            lock.l_type = type;
            lock.l_whence = SEEK_SET;
            const char answer = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 'L' : 'U';
            (void)!::write(ready[1], &answer, 1);
            char ignored;
            (void)!::read(release[0], &ignored, 1);  // returns when the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char answer = 'U';
        locked_ = ::read(ready[0], &answer, 1) == 1 && answer == 'L';
        ::close(ready[0]);
    }
    ~LockingProcess() {
        if (release_ >= 0) ::close(release_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    [[nodiscard]] bool locked() const { return locked_; }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

TEST(FaultLocks, InputLockedForWritingByAnotherProcess) {
    TempFolder folder;
    const std::string in = folder.File("opera6.adr");
    const std::string out = folder.File("bookmark.htm");
    PutBytes(in, kHotlist);
    PutBytes(out, kPrevious);
    {
        LockingProcess writer(in, F_WRLCK);
        if (!writer.locked()) GTEST_SKIP() << "this file system takes no locks";
        const std::string message = "Cannot open file " + in + ": it is in use by another program";
        EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(in); }), message);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ConvertOperaBookmarks(in, out); }), message);
        EXPECT_EQ(GetBytes(out), kPrevious);
        EXPECT_EQ(folder.EntryCount(), 2u);
    }
    // Once the other process lets go, the same file reads again.
    EXPECT_EQ(ReadWholeFile(in), kHotlist);
}

TEST(FaultLocks, InputReadByAnotherProcessStillReads) {
    TempFolder folder;
    const std::string in = folder.File("contacts.adr");
    PutBytes(in, kContacts);
    LockingProcess reader(in, F_RDLCK);
    if (!reader.locked()) GTEST_SKIP() << "this file system takes no locks";
    EXPECT_EQ(ReadWholeFile(in), kContacts);
}

TEST(FaultLocks, OutputInUseByAnotherProcessIsNotReplaced) {
    TempFolder folder;
    const std::string out = folder.File("contacts.csv");
    PutBytes(out, kPrevious);
    for (const short type : {F_WRLCK, F_RDLCK}) {
        LockingProcess other(out, type);
        if (!other.locked()) GTEST_SKIP() << "this file system takes no locks";
        EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(out, "new text"); }),
                  "Cannot create file " + out + ": it is in use by another program");
        EXPECT_EQ(GetBytes(out), kPrevious);
        EXPECT_EQ(folder.EntryCount(), 1u);
    }
}

// ---------------------------------------------------------------------------
// No access. Tests run as root, for whom mode bits deny nothing, so the
// checks run in a copy of this program started without the capabilities
// that override file permissions, or as the unprivileged user.

constexpr const char* kNoAccessVariable = "QUARVO_NO_ACCESS_FOLDER";
enum NoAccessOutcome {
    kAllHeld = 0,
    kReadError = 10,
    kConvertReadError = 11,
    kCreateInLockedFolder = 12,
    kReplaceReadOnlyFile = 13,
    kPreviousChanged = 14,
    kLeftovers = 15,
    kAccessNotDenied = 77,
};

template <typename E>
bool Throws(const std::function<void()>& action, const std::string& message) {
    try {
        action();
    } catch (const E& error) {
        return error.what() == message;
    } catch (...) {
    }
    return false;
}

// Makes its own files, so that it owns them whoever it runs as, then takes
// away its own access to them.
int NoAccessChecks(const fs::path& folder) {
    const std::string secret = (folder / "contacts.adr").string();
    const std::string out = (folder / "contacts.csv").string();
    const fs::path shut = folder / "shut";
    const std::string shut_out = (shut / "bookmark.htm").string();
    const std::string read_only = (folder / "read-only.csv").string();
    PutBytes(secret, kContacts);
    PutBytes(out, kPrevious);
    fs::create_directory(shut);
    PutBytes(shut_out, kPrevious);
    PutBytes(read_only, kPrevious);
    ::chmod(secret.c_str(), 0);
    ::chmod(read_only.c_str(), 0444);
    ::chmod(shut.c_str(), 0555);

    const int probe = ::open(secret.c_str(), O_RDONLY);
    if (probe >= 0) {
        ::close(probe);
        return kAccessNotDenied;
    }
    if (errno != EACCES) return kAccessNotDenied;

    const std::string denied = ": Permission denied";
    if (!Throws<EFOpenError>([&] { (void)ReadWholeFile(secret); },
                             "Cannot open file " + secret + denied))
        return kReadError;
    if (!Throws<EFOpenError>([&] { (void)ConvertOperaContacts(secret, out); },
                             "Cannot open file " + secret + denied))
        return kConvertReadError;
    if (!Throws<EFCreateError>([&] { WriteWholeFile(shut_out, "new text"); },
                               "Cannot create file " + shut_out + denied))
        return kCreateInLockedFolder;
    if (!Throws<EFCreateError>([&] { WriteWholeFile(read_only, "new text"); },
                               "Cannot create file " + read_only + denied))
        return kReplaceReadOnlyFile;
    if (GetBytes(out) != kPrevious || GetBytes(shut_out) != kPrevious ||
        GetBytes(read_only) != kPrevious)
        return kPreviousChanged;
    const auto entries = [](const fs::path& p) {
        return std::distance(fs::directory_iterator(p), fs::directory_iterator());
    };
    if (entries(folder) != 4 || entries(shut) != 1) return kLeftovers;
    return kAllHeld;
}

// The copy started without access runs its checks before any test and ends.
[[maybe_unused]] const bool kNoAccessCopy = [] {
    if (const char* folder = std::getenv(kNoAccessVariable)) std::_Exit(NoAccessChecks(folder));
    return false;
}();

constexpr int kNotStarted = -2;
constexpr int kCrashed = -1;

// Starts `argv` with the variable set and returns its exit status.
int RunWithFolder(std::vector<std::string> argv, const std::string& folder) {
    std::vector<std::string> environment{std::string(kNoAccessVariable) + "=" + folder};
    for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
    std::vector<char*> args, envp;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), envp.data()) != 0)
        return kNotStarted;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return kCrashed;
    return WEXITSTATUS(status);
}

// Whether the checks ran to an answer, rather than the launcher failing or
// the access not being denied.
bool ChecksAnswered(int outcome) {
    return outcome == kAllHeld || outcome == kCrashed ||
           (outcome >= kReadError && outcome <= kLeftovers);
}

TEST(FaultAccess, NoAccessToInputOrOutput) {
    char self[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    TempFolder folder;
    // The unprivileged user must be able to work in it.
    fs::permissions(folder.path(), fs::perms::all);

    int outcome = kNotStarted;
    for (const auto& launcher : std::vector<std::vector<std::string>>{
             {"capsh", "--drop=cap_dac_override,cap_dac_read_search", "--", "-c", "exec \"$0\"",
              self},
             {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", self}}) {
        for (const auto& entry : fs::directory_iterator(folder.path())) fs::remove_all(entry);
        outcome = RunWithFolder(launcher, folder.path().string());
        if (ChecksAnswered(outcome)) break;
    }
    if (!ChecksAnswered(outcome))
        GTEST_SKIP() << "access to a mode 000 file could not be denied here (outcome " << outcome
                     << ")";
    EXPECT_EQ(outcome, kAllHeld) << "see NoAccessOutcome for the check that failed";
    EXPECT_EQ(GetBytes(folder.File("contacts.csv")), kPrevious);
    EXPECT_EQ(GetBytes(folder.File("shut/bookmark.htm")), kPrevious);
}

// ---------------------------------------------------------------------------
// A full disk: a small memory file system mounted in a private mount
// namespace of a child process, where the machine allows it.

enum FullDiskOutcome {
    kFullDiskHeld = 0,
    kNoMount = 77,
    kWrongError = 20,
    kChanged = 21,
    kLeft = 22
};

int FullDiskChecks(const fs::path& mount_point) {
    if (::unshare(CLONE_NEWNS) != 0) return kNoMount;
    // Keep the mount from propagating back to the rest of the machine.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kNoMount;
    if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) return kNoMount;
    const std::string out = (mount_point / "bookmark.htm").string();
    PutBytes(out, kPrevious);
    const std::string large(1 << 20, 'x');
    if (!Throws<EWriteError>([&] { WriteWholeFile(out, large); },
                             "Stream write error: No space left on device"))
        return kWrongError;
    if (GetBytes(out) != kPrevious) return kChanged;
    if (std::distance(fs::directory_iterator(mount_point), fs::directory_iterator()) != 1)
        return kLeft;
    return kFullDiskHeld;
}

TEST(FaultDiskFull, SmallFileSystemFillsUp) {
    TempFolder folder;
    const fs::path mount_point = folder.path() / "small";
    fs::create_directory(mount_point);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(FullDiskChecks(mount_point));
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoMount)
        GTEST_SKIP() << "no small file system can be mounted here; the seam tests cover it";
    EXPECT_EQ(WEXITSTATUS(status), kFullDiskHeld) << "see FullDiskOutcome";
}

// ---------------------------------------------------------------------------
// Failures the machine does not produce on demand, through the file layer's
// seam. Each fake call either passes through or fails once its budget is
// used up.

int g_passes = 0;              // calls that still go through before the fault
int g_errno = EIO;             // what the failing call reports
std::size_t g_bytes_left = 0;  // bytes a "disk" still takes

ssize_t FullDiskWrite(int fd, const void* data, std::size_t size) {
    if (g_bytes_left == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = ::write(fd, data, std::min(size, g_bytes_left));
    if (written > 0) g_bytes_left -= static_cast<std::size_t>(written);
    return written;
}
ssize_t ZeroWrite(int, const void*, std::size_t) {
    return 0;
}
ssize_t DribblingWrite(int fd, const void* data, std::size_t size) {
    if (g_passes-- > 0 && size > 1) {  // interrupted before anything was written
        errno = EINTR;
        return -1;
    }
    return ::write(fd, data, std::min<std::size_t>(size, 7));
}
int FailingFsync(int fd) {
    if (g_passes-- > 0) return ::fsync(fd);
    errno = g_errno;
    return -1;
}
int FailingClose(int fd) {
    if (g_passes-- > 0) return ::close(fd);
    ::close(fd);  // Linux releases the descriptor even when close reports an error
    errno = g_errno;
    return -1;
}
int FailingRename(int from_folder, const char* from, int to_folder, const char* to) {
    if (g_passes-- > 0) return ::renameat(from_folder, from, to_folder, to);
    errno = g_errno;
    return -1;
}
// The file loses everything after its first `g_bytes_left` bytes while it is
// being read.
ssize_t ShrinkingRead(int fd, void* data, std::size_t size, off_t offset) {
    const auto at = static_cast<std::size_t>(offset);
    const std::size_t left = at < g_bytes_left ? g_bytes_left - at : 0;
    return left == 0 ? 0 : ::pread(fd, data, std::min(size, left), offset);
}
ssize_t InterruptedRead(int fd, void* data, std::size_t size, off_t offset) {
    if (g_passes-- > 0) {
        errno = EINTR;
        return -1;
    }
    return ::pread(fd, data, std::min<std::size_t>(size, 5), offset);
}

class SeamFault : public ::testing::Test {
  protected:
    void SetUp() override {
        out_ = folder_.File("bookmark.htm");
        in_ = folder_.File("opera6.adr");
        PutBytes(in_, kHotlist);
        PutBytes(out_, kPrevious);
        ::chmod(out_.c_str(), 0640);
        g_passes = 0;
        g_errno = EIO;
        g_bytes_left = 0;
    }
    void TearDown() override { file_seam::Reset(); }

    // The previous output is byte for byte as it was, keeps its mode, and
    // only the two files are in the folder.
    void ExpectUntouched() {
        file_seam::Reset();
        EXPECT_EQ(GetBytes(out_), kPrevious);
        EXPECT_EQ(fs::status(out_).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_EQ(folder_.EntryCount(), 2u) << "a temporary file was left behind";
    }
    // With the real calls back, the same conversion goes through: the fault
    // left nothing behind in the program either.
    void ExpectRecovery() {
        file_seam::Reset();
        EXPECT_EQ(ConvertOperaBookmarks(in_, out_), 2);
        const auto expected = ConvertHotlistText(kHotlist);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(GetBytes(out_), expected->html);
        EXPECT_EQ(folder_.EntryCount(), 2u);
    }

    TempFolder folder_;
    std::string in_, out_;
};

TEST_F(SeamFault, DiskFullPartWayThrough) {
    for (const std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{150}}) {
        SCOPED_TRACE(room);
        g_bytes_left = room;
        file_seam::Calls().write = &FullDiskWrite;
        EXPECT_EQ(MessageOf<EWriteError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
                  "Stream write error: No space left on device");
        ExpectUntouched();
    }
    ExpectRecovery();
}

// Large enough to be converted in two halves side by side, the second half
// read while the first is converted.
std::string LargeHotlist() {
    std::string large = "Opera Hotlist version 2.0\r\n\r\n";
    while (large.size() < (std::size_t{4} << 20))
        large += "#URL\r\n\tNAME=n\r\n\tURL=http://example.org/a/long/enough/address\r\n\r\n";
    return large;
}

TEST_F(SeamFault, LargeHotlistShrinksWhileItsSecondHalfIsRead) {
    PutBytes(in_, LargeHotlist());
    for (const std::size_t kept : {std::size_t{3} << 20, (std::size_t{4} << 20) - 1}) {
        SCOPED_TRACE(kept);
        g_bytes_left = kept;
        file_seam::Calls().pread = &ShrinkingRead;
        EXPECT_EQ(MessageOf<EReadError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
                  "Stream read error");
        g_bytes_left = kept;
        EXPECT_EQ(MessageOf<EReadError>([&] { (void)ConvertOperaContacts(in_, out_); }),
                  "Stream read error");
        ExpectUntouched();
    }
}

TEST_F(SeamFault, DiskFullAfterTheFirstBlocksOfALargeFile) {
    PutBytes(in_, LargeHotlist());
    g_bytes_left = std::size_t{3} << 19;  // one and a half blocks
    file_seam::Calls().write = &FullDiskWrite;
    EXPECT_EQ(MessageOf<EWriteError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
              "Stream write error: No space left on device");
    ExpectUntouched();
}

TEST_F(SeamFault, WriteThatStoresNothing) {
    file_seam::Calls().write = &ZeroWrite;
    EXPECT_EQ(MessageOf<EWriteError>([&] { WriteWholeFile(out_, "new text"); }),
              "Stream write error");
    ExpectUntouched();
    ExpectRecovery();
}

TEST_F(SeamFault, ShortAndInterruptedWritesStillStoreEverything) {
    const std::string text(10000, 'q');
    g_passes = 3;
    file_seam::Calls().write = &DribblingWrite;
    WriteWholeFile(out_, text);
    file_seam::Reset();
    EXPECT_EQ(GetBytes(out_), text);
    EXPECT_EQ(folder_.EntryCount(), 2u);
}

TEST_F(SeamFault, FlushFails) {
    for (const int error : {EIO, ENOSPC, EDQUOT}) {
        g_passes = 0;
        g_errno = error;
        file_seam::Calls().fsync = &FailingFsync;
        EXPECT_EQ(MessageOf<EWriteError>([&] { WriteWholeFile(out_, "new text"); }),
                  "Stream write error: " + std::string(std::strerror(error)));
        ExpectUntouched();
    }
    ExpectRecovery();
}

TEST_F(SeamFault, CloseOfTheNewFileFails) {
    // Reading the hotlist closes it through the seam first; the second close
    // is the new file's.
    g_passes = 1;
    file_seam::Calls().close = &FailingClose;
    EXPECT_EQ(MessageOf<EWriteError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
              "Stream write error: Input/output error");
    ExpectUntouched();
    ExpectRecovery();
}

TEST_F(SeamFault, RenameFails) {
    for (const int error : {EXDEV, EACCES, EIO}) {
        g_passes = 0;
        g_errno = error;
        file_seam::Calls().renameat = &FailingRename;
        EXPECT_EQ(MessageOf<EFCreateError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
                  "Cannot create file " + out_ + ": " + std::strerror(error));
        ExpectUntouched();
    }
    ExpectRecovery();
}

TEST_F(SeamFault, NewFileWithoutPreviousLeavesNothingOnFailure) {
    const std::string fresh = folder_.File("fresh.htm");
    file_seam::Calls().fsync = &FailingFsync;
    EXPECT_EQ(MessageOf<EWriteError>([&] { WriteWholeFile(fresh, "new text"); }),
              "Stream write error: Input/output error");
    file_seam::Reset();
    EXPECT_FALSE(PathExists(fresh));
    EXPECT_EQ(folder_.EntryCount(), 2u);
}

TEST_F(SeamFault, HotlistShrinksWhileRead) {
    for (const std::size_t kept : {std::size_t{0}, std::size_t{10}, kHotlist.size() - 1}) {
        SCOPED_TRACE(kept);
        g_bytes_left = kept;
        file_seam::Calls().pread = &ShrinkingRead;
        EXPECT_EQ(MessageOf<EReadError>([&] { (void)ReadWholeFile(in_); }), "Stream read error");
        g_bytes_left = kept;
        EXPECT_EQ(MessageOf<EReadError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
                  "Stream read error");
        ExpectUntouched();
    }
    ExpectRecovery();
}

TEST_F(SeamFault, InterruptedAndPiecemealReadsStillReadEverything) {
    g_passes = 2;
    file_seam::Calls().pread = &InterruptedRead;
    EXPECT_EQ(ReadWholeFile(in_), kHotlist);
}

// A file system without permissions (FAT through FUSE) answers every
// fchmod so, where cp still copies.
int NoPermissionsChmod(int, mode_t) {
    errno = g_errno;
    return -1;
}

TEST_F(SeamFault, AFileSystemWithoutPermissionsStillTakesNewFiles) {
    const std::string fresh = folder_.File("fresh.htm");
    file_seam::Calls().fchmod = &NoPermissionsChmod;
    for (const int error : {ENOSYS, EPERM, EOPNOTSUPP}) {
        SCOPED_TRACE(error);
        g_errno = error;
        // No old file: nothing whose access could widen.
        EXPECT_EQ(ConvertOperaBookmarks(in_, fresh), 2);
        // An old file that grants at least what the new one gets (the new
        // file is made for its owner alone) is replaced as well.
        EXPECT_EQ(ConvertOperaBookmarks(in_, out_), 2);
        EXPECT_EQ(GetBytes(fresh), GetBytes(out_));
        EXPECT_EQ(fs::status(out_).permissions() & fs::perms::group_all, fs::perms::none);
        ::chmod(out_.c_str(), 0640);
        ::unlink(fresh.c_str());
    }
}

TEST_F(SeamFault, PermissionsThatCannotBeKeptRefuseTheReplacement) {
    file_seam::Calls().fchmod = &NoPermissionsChmod;
    const struct {
        int error;
        mode_t old_mode;  // the new file gets 0600 when its bits cannot be set
    } cases[] = {
        {ENOSYS, 0400},  // the owner could not write the old file
        {EPERM, 0200},
        {EIO, 0640},  // a failure, not a file system without permissions
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        g_errno = c.error;
        ::chmod(out_.c_str(), c.old_mode);
        EXPECT_EQ(MessageOf<EFCreateError>([&] { (void)ConvertOperaBookmarks(in_, out_); }),
                  "Cannot create file " + out_ + ": " + std::strerror(c.error));
        ::chmod(out_.c_str(), 0640);
        ExpectUntouched();
        file_seam::Calls().fchmod = &NoPermissionsChmod;
    }
    g_errno = EIO;
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(folder_.File("fresh.htm"), "new"); }),
              "Cannot create file " + folder_.File("fresh.htm") + ": Input/output error");
    ExpectUntouched();
}

// The hotlist cannot be read any more once the new bookmark file is in
// place: whatever is made of it must be made before.
const std::string* g_replaced = nullptr;
ssize_t ReadOnlyBeforeTheCommit(int fd, void* data, std::size_t size, off_t offset) {
    if (g_replaced != nullptr && GetBytes(*g_replaced) != kPrevious) {
        errno = EIO;
        return -1;
    }
    return ::pread(fd, data, size, offset);
}

TEST_F(SeamFault, TheExplorerFlavoursReportIsMadeFromTheBytesConverted) {
    g_replaced = &out_;
    file_seam::Calls().pread = &ReadOnlyBeforeTheCommit;
    ConversionReport report;
    EXPECT_EQ(RunBookmarksConversion({in_, out_}, BookmarkOptions{}, &report).count, 2);
    file_seam::Reset();
    g_replaced = nullptr;
    EXPECT_EQ(report.CountOf("bookmarks"), 2);
    EXPECT_EQ(GetBytes(out_), ConvertHotlistText(kHotlist)->html);
}

// ---------------------------------------------------------------------------
// Signals while a file is written, in a child process that installs the
// program's handling, as main() does.

int g_wrote = -1;  // told once the new file holds bytes

ssize_t WriteThenWait(int fd, const void* data, std::size_t size) {
    const ssize_t written = ::write(fd, data, size);
    (void)!::write(g_wrote, "w", 1);
    for (;;) ::pause();
    return written;
}
int NoUnnamedFiles(int folder, const char* name, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::openat(folder, name, flags, mode);
}

pid_t StartChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // As a program started normally, whatever the test runner ignores.
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ})
        ::signal(signal_number, SIG_DFL);
    ::alarm(30);  // a child that hangs fails its test instead of hanging it
    RemoveTemporariesOnSignals();
    ::_exit(body());
}

TEST(FaultSignals, AWriteEndedByASignalLeavesOnlyTheOldFile) {
    struct Case {
        int signal_number;
        bool named_temporary;  // a file system without unnamed files
    };
    for (const Case c : {Case{SIGTERM, true}, Case{SIGINT, true}, Case{SIGHUP, true},
                         Case{SIGPIPE, true}, Case{SIGTERM, false}, Case{SIGKILL, false}}) {
        SCOPED_TRACE(::testing::Message() << c.signal_number << " named " << c.named_temporary);
        TempFolder folder;
        const std::string out = folder.File("contacts.csv");
        PutBytes(out, kPrevious);
        int wrote[2];
        ASSERT_EQ(::pipe(wrote), 0);
        const pid_t pid = StartChild([&] {
            g_wrote = wrote[1];
            file_seam::Calls().write = &WriteThenWait;
            if (c.named_temporary) file_seam::Calls().openat = &NoUnnamedFiles;
            WriteWholeFile(out, "new text");
            return 0;
        });
        ::close(wrote[1]);
        char ignored;
        EXPECT_EQ(::read(wrote[0], &ignored, 1), 1);
        ::close(wrote[0]);
        ::kill(pid, c.signal_number);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal_number) << status;
        EXPECT_EQ(GetBytes(out), kPrevious);
        EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary file was left behind";
    }
}

TEST(FaultSignals, AFileSizeLimitIsAWriteError) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    PutBytes(out, kPrevious);
    const pid_t pid = StartChild([&] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return Throws<EWriteError>([&] { WriteWholeFile(out, std::string(1 << 16, 'x')); },
                                   "Stream write error: File too large")
                   ? 0
                   : 1;
    });
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(GetBytes(out), kPrevious);
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FaultSignals, LeftoversOfKilledRunsGoWithTheNextWriteIntoTheirFolder) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    PutBytes(out, kPrevious);
    const std::string stale = folder.File(".quarvo-0123456789ab.tmp");
    const std::string being_written = folder.File(".quarvo-ba9876543210.tmp");
    const std::string not_ours = folder.File(".quarvo-notours.tmp");
    const timespec an_hour_ago[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const std::string& name : {stale, being_written, not_ours}) {
        PutBytes(name, "left over");
        ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), an_hour_ago, 0), 0);
    }
    const int writer = ::open(being_written.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    WriteWholeFile(out, "new text");
    ::close(writer);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(being_written));
    EXPECT_TRUE(fs::exists(not_ours));
    EXPECT_EQ(GetBytes(out), "new text");
}

}  // namespace
}  // namespace quarvo
