// SPDX-License-Identifier: MIT
// Folder outputs on POSIX systems: what a failing disk, a killed run and a
// termination signal leave behind, and the access a replaced folder had.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include "files/temporary_files.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/file_seam.h"
#include "quarvo/files/folder_output.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

ssize_t FullDiskWrite(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

TEST(FolderOutputPosix, AFullDiskFailsTheWriteAndLeavesNothing) {
    TempFolder folder;
    {
        FolderOutput output(folder.File("mail"), false);
        output.WriteFile("first.mbox", "fits");
        file_seam::Calls().write = &FullDiskWrite;
        FolderOutput::File file = output.NewFile("second.mbox");
        EXPECT_THROW(file.Write("does not fit"), EWriteError);
        file_seam::Reset();
    }
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(FolderOutputPosix, AKilledRunsFolderGoesWithTheNextOutputButARunningOnesStays) {
    TempFolder folder;
    const std::string stale = folder.File(temporary_files::NewName());
    const std::string running = folder.File(temporary_files::NewName());
    fs::create_directories(stale + "/deep/er");
    testing::PutBytes(stale + "/deep/er/x", "left");
    fs::create_directory(running);
    // Both were last written long ago; only the running one is held.
    const timespec old[2] = {{0, UTIME_OMIT}, {1000, 0}};
    ::utimensat(AT_FDCWD, stale.c_str(), old, 0);
    ::utimensat(AT_FDCWD, running.c_str(), old, 0);
    const int held = ::open(running.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    FolderOutput(folder.File("out"), false).Commit();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(running));
    ::close(held);
}

TEST(FolderOutputPosix, ATerminationSignalRemovesTheFolderBeingWritten) {
    TempFolder folder;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RemoveTemporariesOnSignals();
        FolderOutput output(folder.File("notes"), false);
        output.MakeFolder("a");
        output.MakeFolder("a/b");
        output.WriteFile("a/b/note.md", "text");
        ::raise(SIGTERM);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(FolderOutputPosix, AReplacedFolderGivesNoMoreAccessThanItHad) {
    TempFolder folder;
    const std::string target = folder.File("private");
    fs::create_directory(target);
    testing::PutBytes(target + "/old", "old");
    ::chmod(target.c_str(), 0700);
    FolderOutput output(target, true);
    output.WriteFile("new", "new");
    output.Commit();
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_TRUE(fs::exists(target + "/new"));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

}  // namespace
}  // namespace quarvo
