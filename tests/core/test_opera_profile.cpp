// SPDX-License-Identifier: MIT
// Where Opera's files are looked for, and the hotlist an ini file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "quarvo/file_layer.h"
#include "quarvo/opera_profile.h"
#include "temp_folder.h"

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
    const OperaPlaces windows{Path({"P", ""}), Path({"A", ""}), ""};
    EXPECT_EQ(OperaFileCandidates(windows, OperaFile::Hotlist),
              (std::vector<std::string>{Path({"P", "Opera", "profile", "opera6.adr"}),
                                        Path({"P", "Opera", "profile", "bookmarks.adr"}),
                                        Path({"A", "Opera", "Opera", "profile", "opera6.adr"}),
                                        Path({"A", "Opera", "Opera", "profile", "bookmarks.adr"}),
                                        Path({"A", "Opera", "Opera", "opera6.adr"}),
                                        Path({"A", "Opera", "Opera", "bookmarks.adr"})}));
    // On 64-bit Windows the 32-bit programs' folder follows, unless a
    // 32-bit process is shown it under both names.
    const OperaPlaces wow64{Path({"P", ""}), "", "", Path({"X", ""})};
    EXPECT_EQ(OperaFileCandidates(wow64, OperaFile::Contacts),
              (std::vector<std::string>{Path({"P", "Opera", "profile", "contacts.adr"}),
                                        Path({"X", "Opera", "profile", "contacts.adr"})}));
    const OperaPlaces wow32{Path({"X", ""}), "", "", Path({"x", ""})};
    EXPECT_EQ(OperaFileCandidates(wow32, OperaFile::Contacts).size(), 1u);
    // Outside Windows the home profile comes first; an unknown Program
    // Files folder leaves the name relative, as the window always had it.
    const OperaPlaces home{"", "", "H"};
    EXPECT_EQ(OperaFileCandidates(home, OperaFile::Contacts),
              (std::vector<std::string>{Path({"H", ".opera", "contacts.adr"}),
                                        Path({"Opera", "profile", "contacts.adr"})}));
}

TEST(OperaProfile, FindsTheFirstThatExistsElseTheHotlistAnIniNames) {
    TempFolder folder;
    const std::string root = folder.path().string() + S;
    const OperaPlaces places{root + "P" + S, root + "A" + S, ""};
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
