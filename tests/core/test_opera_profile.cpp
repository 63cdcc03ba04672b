// SPDX-License-Identifier: MIT
// Where Opera's files are looked for, and the hotlist an ini file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "quarvo/files/file_layer.h"
#include "quarvo/profile/opera_profile.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <unistd.h>

#include "quarvo/files/file_seam.h"
#endif

namespace quarvo {
namespace {

using testing::PutBytes;
using testing::TempFolder;

constexpr char S = kPathSeparator;

std::string Path(std::initializer_list<std::string_view> parts) {
    std::string path;
    for (std::string_view part : parts) path += std::string(part) + S;
    path.pop_back();
    return path;
}

TEST(OperaProfile, LooksInProgramFilesThenTheUsersProfilesForEitherHotlistName) {
    const OperaPlaces windows{Path({"P", ""}), Path({"A", ""}), "", "", ""};
    EXPECT_EQ(OperaFileCandidates(windows, OperaFile::Hotlist),
              (std::vector<std::string>{Path({"P", "Opera", "profile", "opera6.adr"}),
                                        Path({"P", "Opera", "profile", "bookmarks.adr"}),
                                        Path({"A", "Opera", "Opera", "profile", "opera6.adr"}),
                                        Path({"A", "Opera", "Opera", "profile", "bookmarks.adr"}),
                                        Path({"A", "Opera", "Opera", "opera6.adr"}),
                                        Path({"A", "Opera", "Opera", "bookmarks.adr"})}));
    // On 64-bit Windows the 32-bit programs' folder follows, unless a
    // 32-bit process is shown it under both names.
    const OperaPlaces wow64{Path({"P", ""}), "", "", Path({"X", ""}), ""};
    EXPECT_EQ(OperaFileCandidates(wow64, OperaFile::Contacts),
              (std::vector<std::string>{Path({"P", "Opera", "profile", "contacts.adr"}),
                                        Path({"X", "Opera", "profile", "contacts.adr"})}));
    const OperaPlaces wow32{Path({"X", ""}), "", "", Path({"x", ""}), ""};
    EXPECT_EQ(OperaFileCandidates(wow32, OperaFile::Contacts).size(), 1u);
    // Outside Windows the home profile comes first; an unknown Program
    // Files folder leaves the name relative, as the window always had it.
    const OperaPlaces home{"", "", "H", "", ""};
    EXPECT_EQ(OperaFileCandidates(home, OperaFile::Contacts),
              (std::vector<std::string>{Path({"H", ".opera", "contacts.adr"}),
                                        Path({"Opera", "profile", "contacts.adr"})}));
}

TEST(OperaProfile, FindsTheFirstThatExistsElseTheHotlistAnIniNames) {
    TempFolder folder;
    const std::string root = folder.path().string() + S;
    const OperaPlaces places{root + "P" + S, root + "A" + S, "", "", ""};
    std::filesystem::create_directories(root + Path({"A", "Opera", "Opera"}));
    std::filesystem::create_directories(root + Path({"P", "Opera", "profile"}));
    const std::string named = root + "elsewhere.adr";
    PutBytes(named, "Opera Hotlist version 2.0\r\n");
    PutBytes(root + Path({"A", "Opera", "Opera", "operaprefs.ini"}),
             "\xEF\xBB\xBF[User Prefs]\r\nHot List File Ver2 = " + named + "\r\n");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), named);
    EXPECT_EQ(FindOperaFile(places, OperaFile::Contacts), std::nullopt);

    const std::string per_user = root + Path({"A", "Opera", "Opera", "bookmarks.adr"});
    PutBytes(per_user, "");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), per_user);
    const std::string program_files = root + Path({"P", "Opera", "profile", "opera6.adr"});
    PutBytes(program_files, "");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), program_files);

    // The notes file likewise: notes.adr in a profile, else the ini's.
    EXPECT_EQ(FindOperaFile(places, OperaFile::Notes), std::nullopt);
    const std::string notes = root + "my notes.adr";
    PutBytes(notes, "");
    PutBytes(root + Path({"A", "Opera", "Opera", "operaprefs.ini"}),
             "[MailBox]\r\nNotesFile=" + notes + "\r\n");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Notes), notes);
    const std::string profile_notes = root + Path({"A", "Opera", "Opera", "notes.adr"});
    PutBytes(profile_notes, "");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Notes), profile_notes);
}

// Only a file that can be read is found: each case makes the first place
// looked in hold something else, and the search goes on to the next.
TEST(OperaProfile, FindsOnlyAReadableRegularFile) {
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        void (*make)(const fs::path& home);
    } cases[] = {
        {"a folder of the file's name",
         [](const fs::path& home) { fs::create_directories(home / ".opera" / "opera6.adr"); }},
#ifndef _WIN32
        {"a link that leads nowhere",
         [](const fs::path& home) {
             fs::create_directories(home / ".opera");
             fs::create_symlink("gone.adr", home / ".opera" / "opera6.adr");
         }},
        {"a profile folder that is a link to itself",
         [](const fs::path& home) { fs::create_symlink(".opera", home / ".opera"); }},
        {"a pipe",
         [](const fs::path& home) {
             fs::create_directories(home / ".opera");
             ::mkfifo((home / ".opera" / "opera6.adr").c_str(), 0600);
         }},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string root = folder.path().string() + S;
        const OperaPlaces places{root + "P" + S, "", root + "H", "", ""};
        fs::create_directories(root + Path({"P", "Opera", "profile"}));
        const std::string next = root + Path({"P", "Opera", "profile", "bookmarks.adr"});
        PutBytes(next, "Opera Hotlist version 2.0\r\n");
        fs::create_directory(folder.path() / "H");
        c.make(folder.path() / "H");
        EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), next);
        fs::remove(next);
        EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), std::nullopt);
    }
}

// Opera reads a relative name against its profile folder, whatever the
// current folder is.
TEST(OperaProfile, TakesARelativeNameInTheIniFileInItsProfileFolder) {
    TempFolder folder;
    const OperaPlaces places{"", folder.path().string() + S, "", "", ""};
    const std::string profile = folder.File(Path({"Opera", "Opera", ""}));
    std::filesystem::create_directories(profile + "mine");
    const std::string named = profile + Path({"mine", "my.adr"});
    PutBytes(named, "");
    PutBytes(profile + "opera6.ini",
             "[User Prefs]\nHot List File Ver2=" + Path({"mine", "my.adr"}) + "\n");
    EXPECT_EQ(FindOperaFile(places, OperaFile::Hotlist), named);
}

#ifndef _WIN32
std::size_t g_bytes_read = 0;
ssize_t CountingRead(int fd, void* data, std::size_t size, off_t offset) {
    const ssize_t got = ::pread(fd, data, size, offset);
    if (got > 0) g_bytes_read += static_cast<std::size_t>(got);
    return got;
}
#endif

// An ini file is read line by line, as far as the hotlist's name, and one
// larger than any Opera wrote is not read at all.
TEST(OperaProfile, ReadsAnIniFileOnlyAsFarAsNeededAndNoneTooLarge) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    const struct {
        const char* what;
        std::size_t padding;  // bytes before the lines that name the hotlist
        std::size_t size;     // the file's size, padded after them with zero bytes
        bool found;
        std::size_t most_read;  // checked where the seam counts reads
    } cases[] = {
        {"the name at the start of a large file", 0, 15 * kMiB, true, 64 * 1024},
        {"the name across the first piece's end", 65530, 70000, true, 70000},
        {"the name at the end of the largest file read", 16 * kMiB - 100, 16 * kMiB, true,
         16 * kMiB},
        {"a file one byte too large", 0, 16 * kMiB + 1, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string profile = folder.File(".opera");
        std::filesystem::create_directories(profile);
        const std::string hotlist = folder.File("elsewhere.adr");
        PutBytes(hotlist, "");
        const std::string ini = profile + S + "operaprefs.ini";
        {
            std::ofstream out(ini, std::ios::binary);
            out << std::string(c.padding, ' ')
                << "\r\n[User Prefs]\r\nHot List File Ver2=" << hotlist << "\r\n";
        }
        std::filesystem::resize_file(ini, c.size);
        std::vector<std::string> notes;
        const OperaPlaces places{"", "", folder.path().string(), "", ""};
#ifndef _WIN32
        g_bytes_read = 0;
        file_seam::Calls().pread = &CountingRead;
#endif
        const auto found = FindOperaFile(places, OperaFile::Hotlist,
                                         [&](std::string_view note) { notes.emplace_back(note); });
#ifndef _WIN32
        file_seam::Reset();
        EXPECT_LE(g_bytes_read, c.most_read);
#endif
        EXPECT_EQ(found, c.found ? std::optional<std::string>(hotlist) : std::nullopt);
        EXPECT_EQ(notes.size(), c.found ? 0u : 1u);
        if (!notes.empty()) {
            EXPECT_NE(notes.front().find(ini), std::string::npos) << notes.front();
        }
    }
}

TEST(OperaProfile, LooksForTheMailBesideTheProfileThenInTheLocalApplicationData) {
    const OperaPlaces windows{Path({"P", ""}), Path({"A", ""}), "", Path({"X", ""}),
                              Path({"L", ""})};
    EXPECT_EQ(OperaMailFolderCandidates(windows),
              (std::vector<std::string>{Path({"P", "Opera", "mail", ""}),
                                        Path({"X", "Opera", "mail", ""}),
                                        Path({"L", "Opera", "Opera", "mail", ""}),
                                        Path({"L", "Opera", "Opera x64", "mail", ""}),
                                        Path({"A", "Opera", "Opera", "mail", ""})}));
    const OperaPlaces home{"", "", "H", "", ""};
    EXPECT_EQ(OperaMailFolderCandidates(home).front(), Path({"H", ".opera", "mail", ""}));
}

TEST(OperaProfile, FindsAMailFolderOnlyWhereOneIsElseWhereAnIniNamesIt) {
    TempFolder folder;
    const std::string root = folder.path().string() + S;
    const OperaPlaces places{root + "P" + S, root + "A" + S, "", "", root + "L" + S};
    // A folder named mail that holds no mail is passed over.
    std::filesystem::create_directories(root + Path({"L", "Opera", "Opera", "mail"}));
    std::filesystem::create_directories(root + Path({"A", "Opera", "Opera"}));
    EXPECT_EQ(FindOperaMailFolder(places), std::nullopt);
    std::filesystem::create_directories(root + Path({"L", "Opera", "Opera", "moved", "store"}));
    PutBytes(root + Path({"A", "Opera", "Opera", "operaprefs.ini"}),
             "[Mail]\nMail Root Directory={LargePreferences}moved\n");
    EXPECT_EQ(FindOperaMailFolder(places), root + Path({"L", "Opera", "Opera", "moved", ""}));
    PutBytes(root + Path({"L", "Opera", "Opera", "mail", "accounts.ini"}), "");
    EXPECT_EQ(FindOperaMailFolder(places), root + Path({"L", "Opera", "Opera", "mail", ""}));
    EXPECT_EQ(MailFolderNamedByIni("[User Prefs]\r\nMail Root Directory = /m/ \r\n"), "/m/");
    EXPECT_EQ(MailFolderNamedByIni("[Other]\nMail Root Directory=/m/\n"), "");
}

TEST(OperaProfile, ReadsTheHotlistNameOnlyFromUserPrefs) {
    struct Case {
        const char* ini;
        const char* named;
    } cases[] = {
        {"[User Prefs]\nHot List File Ver2=C:\\o\\opera6.adr\n", "C:\\o\\opera6.adr"},
        {"[user prefs]\r\n  hot list file ver2 =  /h/b.adr  \r\n", "/h/b.adr"},
        {"[Other]\nHot List File Ver2=/no\n[User Prefs]\nX=1\n", ""},
        {"Hot List File Ver2=/no\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(HotlistNamedByIni(c.ini), c.named) << c.ini;
    EXPECT_EQ(NotesNamedByIni("[User Prefs]\nNotesFile=/no\n[MailBox]\nnotesfile = /n.adr\n"),
              "/n.adr");
    EXPECT_EQ(NotesNamedByIni("[MailBox]\nHot List File Ver2=/no\n"), "");
}

}  // namespace
}  // namespace quarvo
