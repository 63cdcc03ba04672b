// SPDX-License-Identifier: MIT
// The whole-profile window's decisions with a stand-in window and desktop:
// the profile found where Opera keeps it, each kind with its count and a
// check box, the export of the ticked kinds on a thread of its own, what
// was written shown at the end with the folder to open, a profile given by
// hand, and an export refused as a whole.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "profile_window_logic.h"
#include "shell_folders.h"
#include "temp_folder.h"

namespace {

using quarvo::testing::GetBytes;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;
namespace fs = std::filesystem;

class StandIn : public quarvo::ProfileExportView, public quarvo::Desktop {
  public:
    std::vector<std::string> profiles;
    std::size_t profile_choice = 0;
    std::string profile_folder, target, untouched, status, report;
    std::vector<quarvo::ProfileKindLine> kinds;
    std::vector<bool> ticked;
    std::vector<std::string> log;
    std::map<std::uint8_t, std::string> folders;
    bool open_folder = false;

    void SetProfiles(const std::vector<std::string>& list) override { profiles = list; }
    std::size_t ProfileChoice() const override { return profile_choice; }
    std::string ProfileFolder() const override { return profile_folder; }
    void SetProfileFolder(const std::string& folder) override { profile_folder = folder; }
    void SetKinds(const std::vector<quarvo::ProfileKindLine>& lines,
                  const std::string& warning) override {
        kinds = lines;
        untouched = warning;
        ticked.clear();
        for (const auto& line : lines) ticked.push_back(line.exports);
    }
    bool KindTicked(std::size_t kind) const override { return ticked.at(kind); }
    std::string TargetName() const override { return target; }
    void SetTargetName(const std::string& name) override { target = name; }
    void ShowRunning(bool running) override { log.push_back(running ? "running" : "stopped"); }
    void ShowProgress(std::int64_t, std::int64_t) override {}
    void ShowStatus(const std::string& text) override { status = text; }
    void ShowReport(const std::string& text) override { report = text; }
    void EnableOpenFolder(bool enabled) override { open_folder = enabled; }
    void WakeWindowThread() override {
        const std::lock_guard lock(mutex_);
        woken_ = true;
        wake_.notify_one();
    }
    void CloseWindow() override { log.push_back("closed"); }

    void ShowMessage(std::string_view text) override {
        log.push_back("message " + std::string(text));
    }
    void ReportError(std::string_view message) override {
        log.push_back("error " + std::string(message));
    }
    void ShowReport(std::string_view text, std::string_view) override {
        log.push_back("message " + std::string(text));
    }
    bool AskToSaveAnyway(std::string_view) override { return false; }
    bool AskToReplace(std::string_view) override { return false; }
    quarvo::SaveChoice AskToSaveChanges(std::string_view) override {
        return quarvo::SaveChoice::Cancel;
    }
    std::optional<std::string> AskSaveFileName(const std::string&) override { return {}; }
    void OpenLink(const std::string& link) override { log.push_back("open " + link); }
    std::string LookUpFolder(std::uint8_t kind) override { return folders[kind]; }

    void RunUntilDone(quarvo::ProfileWindowLogic& logic) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (logic.Running() && std::chrono::steady_clock::now() < give_up) {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return woken_; });
            woken_ = false;
            lock.unlock();
            logic.Wake();
        }
        ASSERT_FALSE(logic.Running()) << "the export did not end";
    }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
};

// A profile where Opera keeps it on the running system: in the user's
// Application Data on Windows, in ~/.opera elsewhere.
class UsersProfile {
  public:
    explicit UsersProfile(StandIn& window) {
        const std::string root =
            temp_.path().string() + static_cast<char>(fs::path::preferred_separator);
        window.folders[quarvo::kPersonalFolder] = root;
        window.folders[quarvo::kProgramFilesFolder] = root + "none";
        window.folders[5] = root + "AppData";  // the Application Data folder
#ifdef _WIN32
        profile_ = temp_.path() / "AppData" / "Opera" / "Opera";
#else
        const char* home = std::getenv("HOME");
        home_ = home ? home : "";
        setenv("HOME", root.c_str(), 1);
        profile_ = temp_.path() / ".opera";
#endif
        fs::create_directories(profile_);
        PutBytes((profile_ / "opera6.adr").string(),
                 "Opera Hotlist version 2.0\n\n#URL\n\tNAME=a\n\tURL=http://a/\n");
        PutBytes((profile_ / "contacts.adr").string(),
                 "Opera Hotlist version 2.0\n\n#CONTACT\n\tNAME=Ann\n\tMAIL=ann@example.org\n");
        PutBytes((profile_ / "wand.dat").string(), "secret");
    }
    ~UsersProfile() {
#ifndef _WIN32
        setenv("HOME", home_.c_str(), 1);
#endif
    }
    std::string Folder() const {
        return (profile_ / "").string();
    }
    std::string Out(std::string_view name) const {
        return temp_.File(name);
    }

  private:
    TempFolder temp_;
    fs::path profile_;
    std::string home_;
};

TEST(ProfileWindowLogic, ShowsTheProfileFoundAndExportsTheTickedKinds) {
    StandIn window;
    UsersProfile user(window);
    quarvo::ProfileWindowLogic logic(window, window);
    logic.Shown();
    ASSERT_EQ(window.profiles, (std::vector<std::string>{user.Folder()}));
    EXPECT_EQ(window.profile_folder, user.Folder());
    ASSERT_GE(window.kinds.size(), 4u);
    EXPECT_EQ(window.kinds[0].text,
              "Bookmarks: 1 bookmarks, 0 folders, 0 in Opera's trash (left out)");
    EXPECT_TRUE(window.kinds[0].exports);
    EXPECT_EQ(window.kinds[2].text, "Notes: not found");
    EXPECT_FALSE(window.kinds[2].found);
    EXPECT_NE(window.untouched.find("Saved passwords (wand.dat): never read or copied"),
              std::string::npos);
    EXPECT_EQ(window.target, user.Out("Opera profile"));

    window.ticked[1] = false;  // the contacts left out
    logic.Start();
    window.RunUntilDone(logic);
    EXPECT_TRUE(fs::exists(user.Out("Opera profile/bookmarks.html")));
    EXPECT_TRUE(fs::exists(user.Out("Opera profile/report.html")));
    EXPECT_FALSE(fs::exists(user.Out("Opera profile/contacts.vcf")));
    EXPECT_FALSE(fs::exists(user.Out("Opera profile/wand.dat")));
    EXPECT_EQ(window.report.substr(0, window.report.find('\n')),
              "Bookmarks: bookmarks.html, bookmarks.json, Bookmarks");
    EXPECT_NE(window.report.find("Contacts: left out"), std::string::npos);
    EXPECT_TRUE(window.open_folder);
    logic.OpenFolder();
    EXPECT_EQ(window.log, (std::vector<std::string>{"running", "stopped",
                                                    "open " + user.Out("Opera profile")}));

    // Again into the same folder: refused as a whole, the first export kept.
    window.log.clear();
    window.ticked[1] = true;
    logic.Start();
    window.RunUntilDone(logic);
    ASSERT_EQ(window.log.size(), 3u);
    EXPECT_NE(window.log[2].find("Folder is not empty"), std::string::npos) << window.log[2];
    EXPECT_EQ(window.status, "Not exported: nothing was written.");
    EXPECT_FALSE(fs::exists(user.Out("Opera profile/contacts.vcf")));
}

TEST(ProfileWindowLogic, TakesAProfileGivenByHandAndSaysWhenAFolderHoldsNone) {
    StandIn window;
    UsersProfile user(window);
    quarvo::ProfileWindowLogic logic(window, window);
    logic.Shown();
    const fs::path other = user.Out("copy");
    fs::create_directories(other / "profile");
    PutBytes((other / "profile" / "notes.adr").string(),
             "Opera Hotlist version 2.0\n\n#NOTE\n\tNAME=n\n");
    PutBytes((other / "profile" / "speeddial.ini").string(), "[Speed Dial 1]\nUrl=http://d/\n");
    PutBytes((other / "profile" / "search.ini").string(),
             "[Search Engine 1]\nName=s\nURL=http://s/?q=%s\n[Search Engine 2]\nName=d\n"
             "URL=http://d/?q=%s\nDeleted=1\n[Search Engine 3]\nName=p\nURL=http://p/\n"
             "Is post=1\n");
    window.profile_folder = other.string();
    logic.ProfileFolderChanged();
    EXPECT_EQ(window.kinds[0].text, "Bookmarks: not found");
    EXPECT_EQ(window.kinds[2].text, "Notes: 1 notes, 0 folders, 0 in Opera's trash (left out)");
    // Too long for its check box, what is left out is summed.
    EXPECT_EQ(window.kinds[6].text, "Search engines: 1 search engines (2 left out)");
    EXPECT_TRUE(window.untouched.empty());
    // Without a hotlist the bookmark files hold the Speed Dial alone.
    window.target = user.Out("dials");
    logic.Start();
    window.RunUntilDone(logic);
    EXPECT_NE(GetBytes(user.Out("dials/Bookmarks")).find("http://d/"), std::string::npos);

    window.log.clear();
    window.profile_folder = user.Out("empty");
    fs::create_directories(window.profile_folder);
    logic.ProfileFolderChanged();
    EXPECT_EQ(window.status, "No Opera profile in " + user.Out("empty") + ".");
    logic.Start();
    EXPECT_EQ(window.log,
              (std::vector<std::string>{"message Choose the Opera profile to export first."}));
}

}  // namespace
