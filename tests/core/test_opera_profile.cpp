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
}

}  // namespace
}  // namespace quarvo
