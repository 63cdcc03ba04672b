// SPDX-License-Identifier: MIT
// The export window's decisions with a stand-in window and desktop: its
// default names, the target following the chosen output, and the export
// on a thread of its own: progress that reaches the window's thread a few
// dozen times a second, its stages, the result, an error, a cancel that
// leaves nothing, a close while it runs, and the question before a folder
// with files is replaced. Then the notes' and the mail's tables end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "export_window_logic.h"
#include "mail_export_kind.h"
#include "notes_export_kind.h"
#include "quarvo/base/errors.h"
#include "shell_folders.h"
#include "temp_folder.h"

namespace {

using quarvo::testing::GetBytes;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;
namespace fs = std::filesystem;

// Window and desktop in one. What it shows is written down in order; the
// wakes the export's thread asks for are run here, on the test's thread,
// as a window's thread would run them.
class StandIn : public quarvo::ExportView, public quarvo::Desktop {
  public:
    std::string source, target;
    std::size_t choice = 0;
    std::vector<bool> ticked = {false, false};
    std::vector<std::string> log;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    std::map<std::uint8_t, std::string> folders;
    std::atomic<int> wakes{0};
    bool closed = false;
    bool replace = false;  // the answer to the question before replacing

    std::string SourceName() const override { return source; }
    void SetSourceName(const std::string& name) override { source = name; }
    std::string TargetName() const override { return target; }
    void SetTargetName(const std::string& name) override { target = name; }
    std::size_t Choice() const override { return choice; }
    bool OptionTicked(std::size_t option) const override { return ticked.at(option); }
    void ShowRunning(bool running) override { log.push_back(running ? "running" : "stopped"); }
    void ShowProgress(std::int64_t done, std::int64_t total) override {
        progress.emplace_back(done, total);
    }
    void ShowStatus(const std::string& text) override { log.push_back("status " + text); }
    void WakeWindowThread() override {
        ++wakes;
        const std::lock_guard lock(mutex_);
        woken_ = true;
        wake_.notify_one();
    }
    void CloseWindow() override { closed = true; }

    void ShowMessage(std::string_view text) override {
        log.push_back("message " + std::string(text));
    }
    void ReportError(std::string_view message) override {
        log.push_back("error " + std::string(message));
    }
    void ShowReport(std::string_view text, std::string_view details) override {
        log.push_back("report " + std::string(text) + "\n" + std::string(details));
    }
    bool AskToReplace(std::string_view question) override {
        log.push_back("ask " + std::string(question));
        return replace;
    }
    bool AskToSaveAnyway(std::string_view) override { return false; }
    quarvo::SaveChoice AskToSaveChanges(std::string_view) override {
        return quarvo::SaveChoice::Cancel;
    }
    std::optional<std::string> AskSaveFileName(const std::string&) override { return {}; }
    void OpenLink(const std::string&) override {}
    std::string LookUpFolder(std::uint8_t kind) override { return folders[kind]; }

    // Runs the window thread's side until the export has ended.
    void RunUntilDone(quarvo::ExportWindowLogic& logic) {
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

// A kind whose conversion the test scripts: `items` steps (0: until it is
// cancelled), each after `pause`, stopping when cancelled; or throwing
// `error`. With `staged`, the steps are a first stage of `items` and a
// second of ten times as many, each stage telling its own end.
struct ScriptedKind {
    int items = 3;
    std::chrono::microseconds pause{0};
    std::string error;
    bool staged = false;
    std::string details;
    std::vector<quarvo::ExportRequest> requests;
    quarvo::ExportKind kind;

    static constexpr quarvo::ExportChoice kChoices[] = {
        {"Folder", true, "", ""},
        {"Page", false, ".html|.htm", "Web page (*.html)|*.html"},
        {"Book", false, ".enex", "Book (*.enex)|*.enex"},
    };
    static constexpr quarvo::ExportOption kOptions[] = {{"keep", false}, {"replace", false}};
    static constexpr std::string_view kStages[] = {"Reading...", "Writing..."};

    ScriptedKind() {
        kind = {
            .caption = "Export things",
            .source_label = "Things",
            .find_source =
                [](const quarvo::OperaPlaces& places) {
                    return quarvo::FindOperaFile(places, quarvo::OperaFile::Notes);
                },
            .item_marker = "#NOTE",
            .target_label = "To",
            .default_target = "Things",
            .choices = kChoices,
            .options = kOptions,
            .convert =
                [this](const quarvo::ExportRequest& request, const quarvo::ExportProgress& progress,
                       const std::atomic<bool>& cancel) { return Run(request, progress, cancel); }};
    }

    quarvo::ExportResult Run(const quarvo::ExportRequest& request,
                             const quarvo::ExportProgress& progress,
                             const std::atomic<bool>& cancel) {
        requests.push_back(request);
        if (!error.empty()) throw quarvo::EFCreateError(request.target, error);
        const auto stage = [&](std::int64_t steps, std::int64_t total, std::size_t number) {
            for (std::int64_t i = 1; steps == 0 || i <= steps; ++i) {
                std::this_thread::sleep_for(pause);
                progress({i, total, number});
                if (cancel) throw quarvo::EConversionCancelled();
            }
        };
        stage(items, staged ? items : 0, 0);
        if (staged) stage(items * 10, items * 10, 1);
        return {std::to_string(items) + " done.", "all " + std::to_string(items), details};
    }
};

class ExportWindowLogicTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    StandIn window_;
    ScriptedKind scripted_;
    quarvo::ExportWindowLogic logic_{scripted_.kind, window_, window_};

    void StartAndWait() {
        logic_.Start();
        window_.RunUntilDone(logic_);
    }
};

TEST_F(ExportWindowLogicTest, FillsInTheDefaultsOnceAndTheTargetFollowsTheChoice) {
#ifdef _WIN32
    const std::string profile = folder_.File("Opera\\Opera\\");
    window_.folders[5] = folder_.File("");
#else
    const std::string profile = folder_.File(".opera/");
    const char* home = std::getenv("HOME");
    const std::string old_home = home ? home : "";
    setenv("HOME", folder_.path().string().c_str(), 1);
    struct Restore {
        std::string home;
        ~Restore() { setenv("HOME", home.c_str(), 1); }
    } restore{old_home};
#endif
    fs::create_directories(profile);
    PutBytes(profile + "notes.adr", "#NOTE");
    window_.folders[quarvo::kPersonalFolder] = "/docs/";
    logic_.Shown();
    EXPECT_EQ(window_.source, profile + "notes.adr");
    EXPECT_EQ(window_.target, "/docs/Things");
    window_.source = window_.target = "typed";
    logic_.Shown();
    EXPECT_EQ(window_.target, "typed");

    const struct {
        std::string target;
        std::size_t choice;
        std::string renamed;
    } cases[] = {
        {"/docs/Things", 1, "/docs/Things.html"},
        {"/docs/Things.html", 2, "/docs/Things.enex"},
        {"/docs/THINGS.HTM", 0, "/docs/THINGS"},
        {"/docs/Things.enex", 0, "/docs/Things"},
        {"/docs/Things.txt", 2, "/docs/Things.txt.enex"},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        window_.target = c.target;
        window_.choice = c.choice;
        logic_.ChoiceChanged();
        EXPECT_EQ(window_.target, c.renamed) << c.target;
    }
}

TEST_F(ExportWindowLogicTest, RefusesWhatCannotBeAnExportBeforeItStarts) {
    const struct {
        std::string source, target;
        std::size_t choice;
        std::string message;
    } cases[] = {
        {"", "out", 0, "message Enter the Opera file to export first."},
        {"in", "", 0, "message Enter where to export to first."},
        {"in", "out.ENEX", 0,
         "message out.ENEX ends in .enex, the name of a file, but \"Folder\" writes a folder: "
         "choose \"Book\", or a name without .enex."},
    };
    for (const auto& c : cases) {
        window_.log.clear();
        window_.source = c.source;
        window_.target = c.target;
        window_.choice = c.choice;
        logic_.Start();
        EXPECT_FALSE(logic_.Running());
        EXPECT_EQ(window_.log, std::vector<std::string>{c.message});
    }
    EXPECT_TRUE(scripted_.requests.empty());
}

TEST_F(ExportWindowLogicTest, RunsOffTheWindowsThreadAndTellsTheResult) {
    PutBytes(folder_.File("in.adr"), "#NOTE #NOTE #NOTE #NOTE");
    window_.source = folder_.File("in.adr");
    window_.target = folder_.File("page");
    window_.choice = 1;
    window_.ticked = {true, false};
    scripted_.items = 2000;
    scripted_.pause = std::chrono::microseconds(100);
    const auto started = std::chrono::steady_clock::now();
    StartAndWait();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);

    ASSERT_EQ(scripted_.requests.size(), 1u);
    EXPECT_EQ(scripted_.requests[0].target, folder_.File("page.html"));  // given its ending
    EXPECT_EQ(window_.target, folder_.File("page.html"));
    EXPECT_EQ(scripted_.requests[0].options, (std::vector<bool>{true, false}));
    EXPECT_EQ(window_.log, (std::vector<std::string>{"running", "status Exporting...", "stopped",
                                                     "status 2000 done.", "message all 2000"}));
    // Progress comes as often as the window can paint it, not once a step.
    EXPECT_LE(window_.wakes, elapsed.count() / quarvo::ExportWindowLogic::kWakeInterval + 2);
    EXPECT_GE(window_.progress.size(), 2u);
    EXPECT_EQ(window_.progress.front(), std::make_pair(std::int64_t{0}, std::int64_t{0}));
    EXPECT_EQ(window_.progress.back(), std::make_pair(std::int64_t{2000}, std::int64_t{2000}));
    for (std::size_t i = 1; i + 1 < window_.progress.size(); ++i)
        EXPECT_EQ(window_.progress[i].second, 4) << "the bar's end is the items the source holds";
}

TEST_F(ExportWindowLogicTest, AnErrorEndsTheExportInTheErrorReport) {
    window_.source = "in";
    window_.target = "out";
    scripted_.error = "Folder is not empty";
    StartAndWait();
    EXPECT_EQ(window_.log,
              (std::vector<std::string>{"running", "status Exporting...", "stopped",
                                        "status Not exported: nothing was written.",
                                        "error Cannot create file out: Folder is not empty"}));
}

TEST_F(ExportWindowLogicTest, CancelAndCloseStopItBetweenItems) {
    window_.source = "in";
    window_.target = "out";
    scripted_.items = 0;
    scripted_.pause = std::chrono::microseconds(200);
    logic_.Start();
    logic_.Start();  // a second press while it runs does nothing
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    logic_.Cancel();
    window_.RunUntilDone(logic_);
    EXPECT_EQ(scripted_.requests.size(), 1u);
    EXPECT_EQ(window_.log.back(), "status Cancelled: nothing was written.");
    EXPECT_FALSE(window_.closed);

    // Closing while it runs cancels it, and the window closes once it stopped.
    EXPECT_TRUE(logic_.CloseRequested());
    logic_.Start();
    EXPECT_FALSE(logic_.CloseRequested());
    EXPECT_FALSE(window_.closed);
    window_.RunUntilDone(logic_);
    EXPECT_TRUE(window_.closed);

    // A window that goes away while the export runs waits for it to stop.
    {
        quarvo::ExportWindowLogic gone(scripted_.kind, window_, window_);
        gone.Start();
    }
    EXPECT_EQ(scripted_.requests.size(), 3u);
}

TEST_F(ExportWindowLogicTest, TellsEachStageWithItsOwnEndAndTheDetailsInAReport) {
    window_.source = "in";
    window_.target = "out";
    scripted_.kind.stages = ScriptedKind::kStages;
    scripted_.staged = true;
    scripted_.items = 40;
    scripted_.pause = std::chrono::microseconds(100);
    scripted_.details = "where\n";
    StartAndWait();
    // The stage that ended it is told before the end, however few wakes came.
    EXPECT_EQ(window_.log,
              (std::vector<std::string>{"running", "status Reading...", "status Writing...",
                                        "stopped", "status 40 done.", "report all 40\nwhere\n"}));
    EXPECT_EQ(window_.progress.back(), std::make_pair(std::int64_t{400}, std::int64_t{400}));
    for (const auto& [done, total] : window_.progress) {
        EXPECT_TRUE(total == 0 || total == 40 || total == 400) << total;
        EXPECT_LE(done, total);
    }
}

TEST_F(ExportWindowLogicTest, AsksBeforeReplacingAFolderThatHoldsFiles) {
    fs::create_directories(folder_.File("empty"));
    fs::create_directories(folder_.File("full"));
    PutBytes(folder_.File("full/mine.txt"), "mine");
    PutBytes(folder_.File("file"), "x");
    const struct {
        std::string target;
        bool kind_asks, answer;
        bool asked, started;
    } cases[] = {
        {"full", true, false, true, false},  // kept: nothing starts
        {"full", true, true, true, true},
        {"empty", true, false, false, true},
        {"missing", true, false, false, true},
        {"file", true, false, false, true},  // the export says what is wrong
        {"full", false, true, false, true},  // a kind whose option decides
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        scripted_.kind.ask_to_replace = c.kind_asks;
        scripted_.requests.clear();
        window_.log.clear();
        window_.source = "in";
        window_.target = folder_.File(c.target);
        window_.replace = c.answer;
        StartAndWait();
        const std::string question =
            "ask " + window_.target +
            " already holds files.\n\nReplace the whole folder with the export? Everything in it "
            "now will be deleted.";
        EXPECT_EQ(!window_.log.empty() && window_.log[0] == question, c.asked);
        ASSERT_EQ(scripted_.requests.size(), c.started ? 1u : 0u);
        if (c.started) {
            EXPECT_EQ(scripted_.requests[0].replace, c.asked && c.answer);
        }
    }
    EXPECT_EQ(GetBytes(folder_.File("full/mine.txt")), "mine");
}

// The notes' table, end to end through the logic: every output, the
// count, a folder of the user's refused, a cancel that leaves nothing.
TEST(NotesExportKind, ExportsTheNotesThroughTheWindow) {
    TempFolder folder;
    StandIn window;
    quarvo::ExportWindowLogic logic(quarvo::NotesExportKind(), window, window);
    PutBytes(folder.File("notes.adr"),
             "Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=Trash\n\tTRASH FOLDER=YES\n\n"
             "#NOTE\n\tNAME=gone\n-\n#NOTE\n\tNAME=one\n\n#NOTE\n\tNAME=two\n");
    window.source = folder.File("notes.adr");
    const auto run = [&] {
        window.log.clear();
        logic.Start();
        window.RunUntilDone(logic);
        return window.log.back();
    };
    for (std::size_t choice = 0; choice < quarvo::NotesExportKind().choices.size(); ++choice) {
        window.choice = choice;
        window.target = folder.File("out" + std::to_string(choice));
        const std::string told = run();
        EXPECT_TRUE(
            told.starts_with("message 2 notes exported to " + window.target + ":\nnotes: 2\n"))
            << told;
        EXPECT_TRUE(fs::exists(window.target)) << window.target;
    }
    EXPECT_TRUE(fs::exists(folder.File("out3.html")));
    EXPECT_TRUE(fs::exists(folder.File("out0/one.md")));

    window.choice = 0;
    window.target = folder.File("out0");
    EXPECT_EQ(run(), "error Cannot create file " + folder.File("out0") + ": Folder is not empty");
    window.ticked = {true, true};
    EXPECT_NE(run().find("notes in the trash left out: 0"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder.File("out0/Trash/gone.md")));

    window.target = folder.path().string();
    EXPECT_EQ(run(), "error Output folder " + window.target + " holds input file " + window.source +
                         ": nothing converted");
}

// An Opera mail folder: accounts.ini naming two accounts (one with a
// password), and `per_account` messages in each account's store, one a
// file with CR LF line ends, as Opera 9 and later keep them.
void PutMailFolder(const std::string& folder, int per_account) {
    fs::create_directories(folder);
    PutBytes(folder + "/accounts.ini",
             "Opera Preferences version 2.1\r\n\r\n[Accounts]\r\nCount=2\r\nAccount1=1\r\n"
             "Account2=2\r\n\r\n[Account1]\r\nAccount Name=Home\r\nIncoming Password=secret\r\n"
             "\r\n[Account2]\r\nAccount Name=Work\r\n");
    for (int account = 1; account <= 2; ++account) {
        const std::string day = folder + "/store/account" + std::to_string(account) + "/2014/07/22";
        fs::create_directories(day);
        for (int i = 0; i < per_account; ++i) {
            const std::string id = std::to_string(account * 1000 + i);
            PutBytes(day + "/" + id + ".mbs",
                     "From ann@example.org Tue Jul 22 10:00:00 2014 " + id +
                         "\r\nX-Opera-Status: 00\r\nFrom: Ann <ann@example.org>\r\nSubject: "
                         "Message " +
                         id +
                         "\r\nDate: Tue, 22 Jul 2014 10:00:00 +0200\r\n\r\n"
                         "From the start\r\nline two\r\n");
        }
    }
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The mail's table, end to end through the logic: each output and the line
// ends chosen, the question before the first export is replaced, what
// could not be read listed whole, and the runs refused.
TEST(MailExportKind, ExportsTheMailThroughTheWindow) {
    TempFolder folder;
    StandIn window;
    quarvo::ExportWindowLogic logic(quarvo::MailExportKind(), window, window);
    PutMailFolder(folder.File("mail"), 2);
    window.source = folder.File("mail");
    window.target = folder.File("out");
    const auto run = [&] {
        window.log.clear();
        logic.Start();
        window.RunUntilDone(logic);
        return window.log.empty() ? std::string() : window.log.back();
    };

    EXPECT_EQ(run(), "message 4 messages in 2 mailboxes exported to " + window.target +
                         ", the accounts' settings in accounts.html:\nmailboxes written: 2\n"
                         "messages written: 4\nfiles that could not be read, left out: 0\n"
                         ".mbs files holding no message: 0\nfiles holding several messages: 0\n"
                         "accounts on the sheet: 2\nviews on the sheet: 0\n"
                         "settings left out as passwords: 1\n");
    EXPECT_EQ(window.log[0], "running");
    EXPECT_EQ(window.log[1], "status Reading the mail store...");
    EXPECT_EQ(window.log[2], "status Writing the mailboxes...");
    EXPECT_EQ(window.log[4], "status 4 messages exported.");
    EXPECT_EQ(Entries(window.target),
              (std::vector<std::string>{"Home.mbox", "Work.mbox", "accounts.html"}));
    EXPECT_NE(GetBytes(folder.File("out/Home.mbox")).find("\r\n>From the start\r\n"),
              std::string::npos);
    const auto [written, total] = window.progress.back();
    EXPECT_EQ(written, total);
    EXPECT_GT(total, 0);

    // The folder now holds files: kept unless the user says so.
    window.choice = 1;
    window.ticked = {true};
    EXPECT_TRUE(run().starts_with("ask " + window.target + " already holds files."));
    EXPECT_EQ(Entries(window.target),
              (std::vector<std::string>{"Home.mbox", "Work.mbox", "accounts.html"}));
    window.replace = true;
    EXPECT_TRUE(run().starts_with("message 4 messages in 2 mailboxes"));
    EXPECT_EQ(Entries(window.target), (std::vector<std::string>{"Home", "Work", "accounts.html"}));
    const std::vector<std::string> home = Entries(folder.File("out/Home/cur"));
    ASSERT_EQ(home.size(), 2u);
    EXPECT_EQ(GetBytes(folder.File("out/Home/cur/" + home[0])).find('\r'), std::string::npos);
    EXPECT_EQ(Entries(folder.path().string()), (std::vector<std::string>{"mail", "out"}));

#ifndef _WIN32
    // A file of the store that cannot be read is named whole in the report.
    const std::string lost = folder.File("mail/store/account1/2014/07/22/1999.mbs");
    fs::create_symlink("nowhere.mbs", lost);
    const std::string told = run();
    EXPECT_TRUE(told.starts_with("report 4 messages in 2 mailboxes")) << told;
    EXPECT_NE(told.find("\nWhat looked wrong, and where:\nWarning: files that could not be read, "
                        "left out (1 time)\n    "),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("1999.mbs: "), std::string::npos) << told;
    fs::remove(lost);
#endif

    const struct {
        std::string source, target, told;
    } refused[] = {
        {"", "x", "message Enter the Opera folder to export first."},
        {folder.File("none"), folder.File("x"), "error Cannot open file " + folder.File("none")},
        {folder.File("mail"), folder.File("mail/out"),
         "error Output folder " + folder.File("mail/out") + " is or lies inside the mail folder " +
             folder.File("mail") + ": nothing converted"},
        // Folders with files, refused before the question could offer them.
        {folder.File("mail"), folder.File("mail"), "error Output folder " + folder.File("mail")},
        {folder.File("mail"), folder.path().string(),
         "error Output folder " + folder.path().string()},
    };
    window.replace = true;
    for (const auto& r : refused) {
        window.source = r.source;
        window.target = r.target;
        EXPECT_TRUE(run().starts_with(r.told)) << window.log.back();
        for (const std::string& told : window.log) EXPECT_FALSE(told.starts_with("ask ")) << told;
    }
    EXPECT_EQ(Entries(folder.path().string()), (std::vector<std::string>{"mail", "out"}));
}

// The mail folder where Opera keeps it, named without a separator after it;
// on Windows under the local application data folder, not the roaming one.
TEST(MailExportKind, FindsTheMailFolderWhereOperaKeepsIt) {
    TempFolder folder;
    StandIn window;
    quarvo::ExportWindowLogic logic(quarvo::MailExportKind(), window, window);
#ifdef _WIN32
    const std::string mail = folder.File("local\\Opera\\Opera\\mail");
    window.folders[5] = folder.File("roaming\\");
    window.folders[16] = folder.File("local\\");
    fs::create_directories(folder.File("roaming\\Opera\\Opera"));
#else
    const std::string mail = folder.File(".opera/mail");
    const char* home = std::getenv("HOME");
    const std::string old_home = home ? home : "";
    setenv("HOME", folder.path().string().c_str(), 1);
    struct Restore {
        std::string home;
        ~Restore() { setenv("HOME", home.c_str(), 1); }
    } restore{old_home};
#endif
    PutMailFolder(mail, 1);
    window.folders[quarvo::kPersonalFolder] = "/docs/";
    logic.Shown();
    EXPECT_EQ(window.source, mail);
    EXPECT_EQ(window.target, "/docs/Opera mail");
}

// A cancel in either stage, into a new folder or over one of the user's,
// leaves no folder and no temporary, and the user's folder as it was.
TEST(MailExportKind, ACancelLeavesNoFolderAndNoTemporary) {
    for (const bool over_the_users : {false, true}) {
        for (const std::size_t stage : {0u, 1u}) {
            SCOPED_TRACE(std::to_string(stage) + (over_the_users ? " over the user's" : ""));
            TempFolder folder;
            PutMailFolder(folder.File("mail"), 3);
            if (over_the_users) {
                fs::create_directories(folder.File("out"));
                PutBytes(folder.File("out/mine.txt"), "mine");
            }
            std::atomic<bool> cancel{false};
            const quarvo::ExportRequest request{
                folder.File("mail"), folder.File("out"), 0, {false}, over_the_users};
            EXPECT_THROW(quarvo::MailExportKind().convert(
                             request,
                             [&](const quarvo::ExportStep& step) {
                                 if (step.stage == stage) cancel = true;
                             },
                             cancel),
                         quarvo::EConversionCancelled);
            const std::vector<std::string> left = over_the_users
                                                      ? std::vector<std::string>{"mail", "out"}
                                                      : std::vector<std::string>{"mail"};
            EXPECT_EQ(Entries(folder.path().string()), left);
            if (over_the_users) {
                EXPECT_EQ(Entries(folder.File("out")), (std::vector<std::string>{"mine.txt"}));
            }
        }
    }
}

}  // namespace
