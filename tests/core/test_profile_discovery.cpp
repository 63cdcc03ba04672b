// SPDX-License-Identifier: MIT
// Every Opera profile found where Opera kept them, and what each holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "quarvo/files/file_layer.h"
#include "quarvo/profile/profile_discovery.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::PutBytes;
using testing::TempFolder;

constexpr char S = kPathSeparator;

// A tree of made-up profiles under one temporary folder.
class ProfileTree {
  public:
    std::string Path(std::initializer_list<std::string_view> parts, bool folder = false) const {
        std::string path = root_;
        for (std::string_view part : parts) path += std::string(part) + S;
        if (!folder) path.pop_back();
        return path;
    }
    std::string Put(std::initializer_list<std::string_view> parts, std::string_view bytes = "") {
        const std::string path = Path(parts);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        PutBytes(path, bytes);
        return path;
    }
    std::string Dir(std::initializer_list<std::string_view> parts) {
        std::filesystem::create_directories(Path(parts));
        return Path(parts, true);
    }

  private:
    TempFolder folder_;
    std::string root_ = folder_.path().string() + S;
};

std::vector<std::string> Folders(const std::vector<OperaProfile>& profiles) {
    std::vector<std::string> folders;
    for (const OperaProfile& found : profiles) folders.push_back(found.folder);
    return folders;
}

const OperaProfile* ProfileIn(const std::vector<OperaProfile>& profiles,
                              const std::string& folder) {
    for (const OperaProfile& found : profiles)
        if (found.folder == folder) return &found;
    return nullptr;
}

TEST(ProfileDiscovery, FindsEveryWindowsFolderVariantWithItsMailApart) {
    ProfileTree tree;
    const OperaPlaces places{tree.Path({"P"}, true), tree.Path({"A"}, true), "",
                             tree.Path({"X"}, true), tree.Path({"L"}, true)};
    // Opera 10 and later: the profile in Application Data, its mail in the
    // local application data; the 64-bit install named after its folder.
    tree.Put({"A", "Opera", "Opera", "operaprefs.ini"});
    tree.Put({"A", "Opera", "Opera", "bookmarks.adr"});
    tree.Put({"A", "Opera", "Opera", "wand.dat"}, "secret");
    tree.Put({"L", "Opera", "Opera", "mail", "accounts.ini"});
    tree.Put({"L", "Opera", "Opera", "cookies4.dat"}, "secret");
    tree.Put({"A", "Opera", "Opera x64", "contacts.adr"});
    tree.Put({"L", "Opera", "Opera x64", "mail", "accounts.ini"});
    // Opera 7 to 9: one folder down, in "profile", the mail beside it.
    tree.Put({"A", "Opera", "Opera 9.64", "profile", "opera6.adr"});
    tree.Put({"A", "Opera", "Opera 9.64", "mail", "accounts.ini"});
    // Single-user installs in both Program Files folders.
    tree.Put({"P", "Opera", "profile", "notes.adr"});
    tree.Put({"P", "Opera", "mail", "accounts.ini"});
    tree.Put({"X", "Opera", "profile", "speeddial.ini"});
    tree.Put({"X", "Opera", "profile", "sessions", "autopaste.win"});
    tree.Put({"X", "Opera", "profile", "sessions", "notes.txt"});
    // A mail folder that no profile claims, and a folder holding nothing.
    tree.Put({"L", "Opera", "Opera Next", "mail", "accounts.ini"});
    tree.Dir({"A", "Opera", "Empty"});

    const std::vector<OperaProfile> found = FindOperaProfiles(places);
    EXPECT_EQ(Folders(found), (std::vector<std::string>{
                                  tree.Path({"P", "Opera", "profile"}, true),
                                  tree.Path({"X", "Opera", "profile"}, true),
                                  tree.Path({"A", "Opera", "Opera"}, true),
                                  tree.Path({"A", "Opera", "Opera 9.64", "profile"}, true),
                                  tree.Path({"A", "Opera", "Opera x64"}, true),
                                  tree.Path({"L", "Opera", "Opera Next"}, true),
                              }));
    ASSERT_EQ(found.size(), 6u);
    EXPECT_EQ(found[0].notes, tree.Path({"P", "Opera", "profile", "notes.adr"}));
    EXPECT_EQ(found[0].mail, tree.Path({"P", "Opera", "mail"}, true));
    EXPECT_EQ(found[1].speed_dial, tree.Path({"X", "Opera", "profile", "speeddial.ini"}));
    EXPECT_EQ(found[1].sessions, (std::vector<std::string>{tree.Path(
                                     {"X", "Opera", "profile", "sessions", "autopaste.win"})}));
    EXPECT_TRUE(found[1].mail.empty());
    EXPECT_EQ(found[2].hotlist, tree.Path({"A", "Opera", "Opera", "bookmarks.adr"}));
    EXPECT_EQ(found[2].mail, tree.Path({"L", "Opera", "Opera", "mail"}, true));
    EXPECT_EQ(found[2].passwords, tree.Path({"A", "Opera", "Opera", "wand.dat"}));
    EXPECT_EQ(found[2].cookies, tree.Path({"L", "Opera", "Opera", "cookies4.dat"}));
    EXPECT_EQ(found[3].hotlist, tree.Path({"A", "Opera", "Opera 9.64", "profile", "opera6.adr"}));
    EXPECT_EQ(found[3].mail, tree.Path({"A", "Opera", "Opera 9.64", "mail"}, true));
    EXPECT_EQ(found[4].contacts, tree.Path({"A", "Opera", "Opera x64", "contacts.adr"}));
    EXPECT_EQ(found[4].mail, tree.Path({"L", "Opera", "Opera x64", "mail"}, true));
    EXPECT_EQ(found[5].mail, tree.Path({"L", "Opera", "Opera Next", "mail"}, true));
    EXPECT_TRUE(found[5].hotlist.empty());
}

TEST(ProfileDiscovery, FindsTheHomeProfilesAndWhatTheirIniFilesName) {
    ProfileTree tree;
    const OperaPlaces places{tree.Path({"opt"}, true), "", tree.Path({"home"}, true), "", ""};
    const std::string hotlist = tree.Put({"elsewhere", "my bookmarks.adr"});
    tree.Put({"home", ".opera", "operaprefs.ini"},
             "[User Prefs]\nHot List File Ver2=" + hotlist +
                 "\nSpeed Dial File={Home}dials.ini\n[MailBox]\nNotesFile=notes2.adr\n"
                 "[Mail]\nMail Root Directory={Preferences}post\n");
    tree.Put({"home", ".opera", "opera6.adr"});  // named over by the ini
    tree.Put({"home", ".opera", "notes2.adr"});
    tree.Put({"home", "dials.ini"});
    tree.Dir({"home", ".opera", "post", "store"});
    tree.Put({"home", "Library", "Opera", "bookmarks.adr"});
    tree.Put({"home", "Library", "Application Support", "Opera", "mail", "accounts.ini"});
    tree.Put({"opt", "Opera", "profile", "search.ini"});

    const std::vector<OperaProfile> found = FindOperaProfiles(places);
    EXPECT_EQ(Folders(found),
              (std::vector<std::string>{tree.Path({"home", ".opera"}, true),
                                        tree.Path({"home", "Library", "Opera"}, true),
                                        tree.Path({"opt", "Opera", "profile"}, true)}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].hotlist, hotlist);
    EXPECT_EQ(found[0].notes, tree.Path({"home", ".opera", "notes2.adr"}));
    EXPECT_EQ(found[0].speed_dial, tree.Path({"home", "dials.ini"}));
    EXPECT_EQ(found[0].mail, tree.Path({"home", ".opera", "post"}, true));
    // The macOS-style profile's mail is in Application Support.
    EXPECT_EQ(found[1].mail,
              tree.Path({"home", "Library", "Application Support", "Opera", "mail"}, true));
    EXPECT_EQ(found[2].search_engines, tree.Path({"opt", "Opera", "profile", "search.ini"}));
    EXPECT_TRUE(FindOperaProfiles(OperaPlaces{tree.Path({"none"}, true), "", "", "", ""}).empty());
}

// The places as the running system names them: %APPDATA% and %LOCALAPPDATA%
// on Windows (under Wine in the Windows step), $HOME elsewhere.
TEST(ProfileDiscovery, FindsTheProfilesOfTheEnvironmentsFolders) {
    ProfileTree tree;
#ifdef _WIN32
    const char* names[] = {"APPDATA", "LOCALAPPDATA", "ProgramFiles", "ProgramFiles(x86)"};
    const std::string values[] = {tree.Path({"Roaming"}), tree.Path({"Local"}), tree.Path({"PF"}),
                                  tree.Path({"PF"})};
    std::vector<std::string> before;
    for (std::size_t i = 0; i < 4; ++i) {
        const char* value = std::getenv(names[i]);
        before.emplace_back(value ? value : "");
        _putenv_s(names[i], values[i].c_str());
    }
    tree.Put({"Roaming", "Opera", "Opera 10.50", "bookmarks.adr"});
    tree.Put({"Local", "Opera", "Opera 10.50", "mail", "accounts.ini"});
    const std::vector<OperaProfile> found = FindOperaProfiles(OperaPlacesFromEnvironment());
    for (std::size_t i = 0; i < 4; ++i) _putenv_s(names[i], before[i].c_str());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].folder, tree.Path({"Roaming", "Opera", "Opera 10.50"}, true));
    EXPECT_EQ(found[0].mail, tree.Path({"Local", "Opera", "Opera 10.50", "mail"}, true));
#else
    const char* home = std::getenv("HOME");
    const std::string before = home ? home : "";
    setenv("HOME", tree.Path({"home"}).c_str(), 1);
    tree.Put({"home", ".opera", "contacts.adr"});
    const std::vector<OperaProfile> found = FindOperaProfiles(OperaPlacesFromEnvironment());
    setenv("HOME", before.c_str(), 1);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].contacts, tree.Path({"home", ".opera", "contacts.adr"}));
#endif
}

TEST(ProfileDiscovery, TakesAFolderGivenByHandItsProfileFolderOrTheProfilesInIt) {
    ProfileTree tree;
    const OperaPlaces none{};
    tree.Put({"copy", "contacts.adr"});
    EXPECT_EQ(Folders(OperaProfilesIn(tree.Path({"copy"}), none)),
              (std::vector<std::string>{tree.Path({"copy"}, true)}));
    tree.Put({"old", "profile", "opera6.adr"});
    tree.Put({"old", "mail", "accounts.ini"});
    const std::vector<OperaProfile> old = OperaProfilesIn(tree.Path({"old"}, true), none);
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0].folder, tree.Path({"old", "profile"}, true));
    EXPECT_EQ(old[0].mail, tree.Path({"old", "mail"}, true));
    // A copy of the Application Data's Opera folder, given whole.
    tree.Put({"all", "Opera", "notes.adr"});
    tree.Put({"all", "Opera 10.50", "profile", "bookmarks.adr"});
    EXPECT_EQ(Folders(OperaProfilesIn(tree.Path({"all"}), none)),
              (std::vector<std::string>{tree.Path({"all", "Opera"}, true),
                                        tree.Path({"all", "Opera 10.50", "profile"}, true)}));
    // A mail folder alone, and a folder that holds nothing.
    tree.Put({"justmail", "accounts.ini"});
    const std::vector<OperaProfile> mail = OperaProfilesIn(tree.Path({"justmail"}), none);
    ASSERT_EQ(mail.size(), 1u);
    EXPECT_EQ(mail[0].mail, tree.Path({"justmail"}, true));
    const std::vector<OperaProfile> empty = OperaProfilesIn(tree.Dir({"nothing"}), none);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_FALSE(empty[0].HoldsAnything());
    EXPECT_FALSE(OperaProfilesIn(tree.Path({"missing"}), none).front().HoldsAnything());
}

TEST(ProfileDiscovery, FindsTheRealProfilesOfTheCorpus) {
    const std::string corpus = QUARVO_PROFILE_CORPUS_DIR;
    if (corpus.empty() || !std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no profile corpus";
    const std::vector<OperaProfile> found = OperaProfilesIn(corpus, OperaPlaces{});
    const std::string root = (std::filesystem::path(corpus) / "").string();
    const OperaProfile* config = ProfileIn(found, root + "opera-config" + S);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->mail, root + "opera-config" + S + "mail" + S);
    EXPECT_EQ(config->speed_dial, root + "opera-config" + S + "speeddial.ini");
    EXPECT_EQ(config->search_engines, root + "opera-config" + S + "search.ini");
    EXPECT_FALSE(config->sessions.empty());
    const OperaProfile* notes = ProfileIn(found, root + "tmp" + S);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->notes, root + "tmp" + S + "notes.adr");
    for (const OperaProfile& each : found) EXPECT_TRUE(each.passwords.empty()) << each.folder;
}

}  // namespace
}  // namespace quarvo
