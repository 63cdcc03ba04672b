// SPDX-License-Identifier: MIT
// File systems that ignore the case of names and keep no permissions: a
// run's names compared as such a file system compares them, and files
// written there. First through the seam, which makes a memory file system
// answer as FAT does, then on a real FAT image mounted through FUSE where
// this machine has the tools (fusefat, mkfs.vfat) and lets a test mount it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

constexpr std::string_view kHotlist =
    "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=a\r\n\tURL=http://a/\r\n\r\n";

bool Refused(const ConversionRun& run) {
    try {
        CheckConversionRun(run);
        return false;
    } catch (const ESameFileError&) {
        return true;
    }
}

struct CaseRun {
    const char* contacts_output;
    const char* bookmarks_output;
    bool refused_where_case_is_ignored;
};

// In a folder holding h.adr, with the contacts read from h.adr too.
constexpr CaseRun kCaseRuns[] = {
    {"Out.csv", "out.csv", true},  // two new names, one file
    {"NEW.CSV", "new.csv", true},
    {"c.csv", "H.ADR", true},  // an input under another spelling
    {"c.csv", "b.htm", false},
    {"\xC3\x9C.csv", "\xC3\xBC.csv", true},  // beyond ASCII (Ü, ü), as FAT and exFAT fold
};

// The outcome of each run in `folder`, which holds h.adr.
std::vector<bool> Outcomes(const std::string& folder) {
    std::vector<bool> refused;
    for (const CaseRun& c : kCaseRuns) {
        const ConversionRun run{
            ConversionJob{folder + "/h.adr", folder + "/" + c.contacts_output},
            ConversionJob{folder + "/h.adr", folder + "/" + c.bookmarks_output}};
        refused.push_back(Refused(run));
    }
    return refused;
}

std::vector<bool> Expected(bool case_ignored) {
    std::vector<bool> refused;
    for (const CaseRun& c : kCaseRuns)
        refused.push_back(case_ignored && c.refused_where_case_is_ignored);
    return refused;
}

int AsFat(int fd, struct statfs* info) {
    const int result = ::fstatfs(fd, info);
    info->f_type = MSDOS_SUPER_MAGIC;
    return result;
}

TEST(CaseBlindNames, OneFileUnderEverySpellingWhereTheFileSystemIgnoresCase) {
    TempFolder folder;
    PutBytes(folder.File("h.adr"), kHotlist);
    const std::string path = folder.path().string();
    EXPECT_EQ(Outcomes(path), Expected(false)) << "a memory file system keeps case";
    file_seam::Calls().fstatfs = &AsFat;
    EXPECT_EQ(Outcomes(path), Expected(true));
    file_seam::Reset();
    EXPECT_EQ(folder.EntryCount(), 1u) << "the check writes nothing";
}

// ---------------------------------------------------------------------------
// A real FAT file system through FUSE, in a mount namespace of a child
// process of its own.

enum FatOutcome {
    kFatHeld = 0,
    kNoFat = 77,
    kNewFileRefused = 30,
    kOldFileNotReplaced = 31,
    kWrongBytes = 32,
    kWrongRuns = 33,
    kLeftovers = 34,
};

// Starts `argv` with its output and messages thrown away.
pid_t Spawn(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&quiet, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int started = ::posix_spawnp(&pid, args[0], &quiet, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&quiet);
    return started == 0 ? pid : -1;
}

bool Succeeds(std::vector<std::string> argv) {
    const pid_t pid = Spawn(std::move(argv));
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

bool IsFuseMount(const fs::path& place) {
    struct statfs info {};
    return ::statfs(place.c_str(), &info) == 0 && info.f_type == FUSE_SUPER_MAGIC;
}

int FatChecks(const fs::path& mount_point, const fs::path& outside) {
    const std::string folder = mount_point.string();
    // While the file system is empty, only its mount says that it ignores case.
    if (!Refused({ConversionJob{outside.string(), folder + "/Out.x"},
                  ConversionJob{outside.string(), folder + "/out.x"}}))
        return kWrongRuns;
    const std::string hotlist = folder + "/h.adr";
    const std::string out = folder + "/b.htm";
    PutBytes(hotlist, kHotlist);
    try {
        if (ConvertOperaBookmarks(hotlist, out) != 1) return kWrongBytes;
    } catch (const Exception&) {
        return kNewFileRefused;
    }
    try {
        WriteWholeFile(out, "replaced");
    } catch (const Exception&) {
        return kOldFileNotReplaced;
    }
    if (GetBytes(out) != "replaced") return kWrongBytes;
    if (Outcomes(folder) != Expected(true)) return kWrongRuns;
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(mount_point)) ++entries;
    return entries == 2 ? kFatHeld : kLeftovers;
}

int MountFatAndCheck(const fs::path& image, const fs::path& mount_point) {
    if (::unshare(CLONE_NEWNS) != 0) return kNoFat;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kNoFat;
    const pid_t fuse = Spawn({"fusefat", "-f", "-o", "rw+", image.string(), mount_point.string()});
    if (fuse <= 0) return kNoFat;
    for (int waited = 0; waited < 100 && !IsFuseMount(mount_point); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int outcome = IsFuseMount(mount_point) ? FatChecks(mount_point, image) : kNoFat;
    ::umount2(mount_point.c_str(), MNT_DETACH);
    ::kill(fuse, SIGTERM);
    ::waitpid(fuse, nullptr, 0);
    return outcome;
}

TEST(CaseBlindNames, ARealFatFileSystemThroughFuse) {
    TempFolder folder;
    const fs::path image = folder.path() / "fat.img";
    const fs::path mount_point = folder.path() / "fat";
    fs::create_directory(mount_point);
    if (!Succeeds({"mkfs.vfat", "-C", image.string(), "2048"}))
        GTEST_SKIP() << "mkfs.vfat is not installed";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::alarm(60);  // a hung mount fails the test instead of hanging it
        ::_exit(MountFatAndCheck(image, mount_point));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == kNoFat)
        GTEST_SKIP()
            << "no FAT file system can be mounted through FUSE here; the seam test covers it";
    EXPECT_EQ(WEXITSTATUS(status), kFatHeld) << "see FatOutcome";
}

}  // namespace
}  // namespace quarvo
