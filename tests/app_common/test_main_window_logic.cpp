// SPDX-License-Identifier: MIT
// The main window's decisions with a stand-in window and desktop: what each
// step shows, in which order, and what it reports.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "main_window_logic.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "shell_folders.h"
#include "temp_folder.h"
#include "window_layouts.h"

namespace {

using quarvo::NameField;
using quarvo::testing::GetBytes;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;

// Window and desktop in one, writing down everything shown, in order.
class StandIn : public quarvo::MainWindowView, public quarvo::Desktop {
  public:
    std::map<NameField, std::string> names;
    std::vector<std::string> log;
    std::map<std::uint8_t, std::string> folders;
    bool fail_documents = false;
    std::optional<quarvo::ContactsOutputChoice> shown;

    std::string FileName(NameField field) const override {
        const auto found = names.find(field);
        return found == names.end() ? std::string() : found->second;
    }
    void SetFileName(NameField field, const std::string& name) override { names[field] = name; }
    void ShowCounts(const quarvo::ItemCounts& c) override {
        log.push_back("counts " + std::to_string(c.bookmarks) + " " + std::to_string(c.contacts) +
                      (c.ready ? " ready " : " choose ") + std::to_string(c.progress_maximum));
    }
    void EnableStartCommand(bool enabled) override {
        log.push_back(enabled ? "menu on" : "menu off");
    }
    void ShowProgress(bool shown) override { log.push_back(shown ? "bar shown" : "bar hidden"); }
    void StepProgress() override {
        if (log.empty() || log.back() != "step") log.push_back("step");
    }
    void ShowViewer(const std::string& file_name) override { log.push_back("viewer " + file_name); }
    void ShowContactsOutput(const quarvo::ContactsOutputChoice& choice) override { shown = choice; }
    // Counts run at once, or wait in `counts` while defer_counts is set.
    bool defer_counts = false;
    std::vector<
        std::pair<std::function<quarvo::EntryCount()>, std::function<void(quarvo::EntryCount)>>>
        counts;
    void CountOffThread(std::function<quarvo::EntryCount()> count,
                        std::function<void(quarvo::EntryCount)> done) override {
        if (defer_counts)
            counts.emplace_back(std::move(count), std::move(done));
        else
            done(count());
    }
    // Runs while a message box is up, as the box's own loop would.
    std::function<void()> while_message;
    void ShowMessage(std::string_view text) override {
        log.push_back("message " + std::string(text));
        if (while_message) while_message();
    }
    void ShowReport(std::string_view text, std::string_view details) override {
        log.push_back("report " + std::string(text) + " | " + std::string(details));
    }
    bool AskToReplace(std::string_view) override { return false; }
    quarvo::SaveChoice AskToSaveChanges(std::string_view) override {
        return quarvo::SaveChoice::Cancel;
    }
    void ReportError(std::string_view message) override {
        log.push_back("error " + std::string(message));
    }
    bool AskToSaveAnyway(std::string_view) override { return false; }
    std::optional<std::string> AskSaveFileName(const std::string&) override { return {}; }
    void OpenLink(const std::string&) override {}
    std::string LookUpFolder(std::uint8_t kind) override {
        if (fail_documents && kind == quarvo::kPersonalFolder)
            throw quarvo::Exception("Failed to get data for 'Personal'");
        return folders[kind];
    }
};

constexpr char kContacts[] =
    "Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=Ada\r\n\r\n#CONTACT\r\n\tNAME=Bob\r\n\r\n";
constexpr char kHotlist[] =
    "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
    "#URL\r\n\tNAME=One\r\n\tURL=http://one.example/\r\n\r\n";

class MainWindowLogicTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    StandIn window_;
    quarvo::MainWindowLogic logic_{window_, window_};
};

TEST_F(MainWindowLogicTest, CountsReadinessAndAnUnreadableNameReportedOnceAfterTheCounts) {
    PutBytes(folder_.File("contacts.adr"), kContacts);
    window_.names[NameField::OperaContacts] = folder_.File("contacts.adr");
    window_.names[NameField::OperaBookmarks] = folder_.path().string();  // a folder: no box
    logic_.CountItems();
    window_.names[NameField::OperaContacts] = folder_.File("missing.adr");
    logic_.CountItems();
    EXPECT_EQ(window_.log, (std::vector<std::string>{"counts 0 2 ready 2", "counts 0 0 choose 0"}));

    // A name that is a plain file but cannot be opened: /proc files refuse
    // writes, and this one refuses reading too, also for root.
    const std::string unreadable = "/proc/sys/vm/drop_caches";
    try {
        if (quarvo::PlainFileExists(unreadable)) (void)quarvo::ReadWholeFile(unreadable);
        GTEST_SKIP() << "no unreadable file here";
    } catch (const quarvo::EStreamError&) {
    }
    window_.log.clear();
    window_.names[NameField::OperaBookmarks] = unreadable;
    logic_.CountItems();
    logic_.CountItems();
    ASSERT_EQ(window_.log.size(), 3u);
    EXPECT_EQ(window_.log[0], "counts 0 0 choose 0");
    EXPECT_EQ(window_.log[1].rfind("error Cannot open file " + unreadable, 0), 0u)
        << window_.log[1];
    EXPECT_EQ(window_.log[2], "counts 0 0 choose 0") << "the same name is not reported again";
}

TEST_F(MainWindowLogicTest, ARunShowsTheBarConvertsAndEndsWithTheCounts) {
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    window_.names = {{NameField::OperaContacts, folder_.File("missing.adr")},
                     {NameField::OperaBookmarks, folder_.File("opera6.adr")},
                     {NameField::ContactsOutput, folder_.File("c.csv")},
                     {NameField::BookmarksOutput, folder_.File("b.htm")}};
    logic_.StartConversion();
    EXPECT_EQ(window_.log, (std::vector<std::string>{
                               "bar shown", "step",
                               "message " + quarvo::ConversionResultMessage(0, 1), "bar hidden"}));
    EXPECT_EQ(GetBytes(folder_.File("b.htm")), quarvo::ConvertHotlistText(kHotlist)->html);
    EXPECT_FALSE(quarvo::PathExists(folder_.File("c.csv"))) << "a missing input writes nothing";

    window_.log.clear();
    window_.names[NameField::ContactsOutput] = folder_.File("opera6.adr");
    EXPECT_THROW(logic_.StartConversion(), quarvo::ESameFileError);
    EXPECT_TRUE(window_.log.empty()) << "a refused run shows nothing, not even the bar";
}

// A count that arrives while the run's result box is up is shown after the
// run: shown under the box, it would start the bar over.
TEST_F(MainWindowLogicTest, ACountArrivingDuringARunIsShownAfterIt) {
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    window_.names = {{NameField::OperaBookmarks, folder_.File("opera6.adr")},
                     {NameField::BookmarksOutput, folder_.File("b.htm")}};
    window_.defer_counts = true;
    logic_.NameChanged(NameField::OperaBookmarks);
    window_.while_message = [this] {
        for (auto& [count, done] : window_.counts) done(count());
    };
    logic_.StartConversion();
    EXPECT_EQ(window_.log,
              (std::vector<std::string>{"bar shown", "step",
                                        "message " + quarvo::ConversionResultMessage(0, 1),
                                        "bar hidden", "counts 1 0 ready 1"}));
}

TEST_F(MainWindowLogicTest, TheContactsMenusChoicesShapeTheOutputAndReplacementsAreListed) {
    PutBytes(folder_.File("contacts.adr"), "#CONTACT\r\n\tNAME=\xC5\x81ukasz\r\n");
    window_.names = {{NameField::OperaContacts, folder_.File("contacts.adr")},
                     {NameField::ContactsOutput, folder_.File("c.csv")}};
    logic_.ChooseContactsFormat(quarvo::ContactsFormat::kOutlookCsv);
    logic_.ChooseContactsEncoding(quarvo::OutputEncoding::kWindows1252);
    logic_.StartConversion();
    EXPECT_EQ(window_.log,
              (std::vector<std::string>{"bar shown", "step",
                                        "message " + quarvo::ConversionResultMessage(1, 0),
                                        "report " + quarvo::ReplacedCharactersMessage(1) +
                                            " | \xC5\x81ukasz: '\xC5\x81' (U+0141)\n",
                                        "bar hidden"}));
    EXPECT_EQ(GetBytes(folder_.File("c.csv")).substr(0, 22), "First Name,Last Name,E");
    logic_.ShowDetails();
    EXPECT_NE(window_.log.back().find(std::string(quarvo::kReplacedCharactersWarning)),
              std::string::npos)
        << window_.log.back();
}

// One format at a time, and the output's name always agrees with it: a
// vCard is written to a ".vcf" file and reported as vCards.
TEST_F(MainWindowLogicTest, TheContactsFormatAndTheOutputsExtensionFollowEachOther) {
    using quarvo::ContactsFormat;
    PutBytes(folder_.File("contacts.adr"), kContacts);
    window_.names = {{NameField::OperaContacts, folder_.File("contacts.adr")},
                     {NameField::ContactsOutput, folder_.File("mine.csv")}};
    const auto type = [&](const std::string& name) {
        window_.names[NameField::ContactsOutput] = name;
        logic_.NameChanged(NameField::ContactsOutput);
    };
    const auto format = [&] { return logic_.contacts_output().format; };

    logic_.ChooseContactsFormat(ContactsFormat::kVcard21);
    EXPECT_EQ(window_.FileName(NameField::ContactsOutput), folder_.File("mine.vcf"));
    ASSERT_TRUE(window_.shown);
    EXPECT_EQ(window_.shown->format, ContactsFormat::kVcard21);
    logic_.ChooseContactsFormat(ContactsFormat::kGoogleCsv);
    EXPECT_EQ(window_.FileName(NameField::ContactsOutput), folder_.File("mine.csv"));
    type(folder_.File("typed.VCF"));
    EXPECT_EQ(format(), ContactsFormat::kVcard21) << "the vCard version last chosen";
    type(folder_.File("typed.txt"));
    EXPECT_EQ(format(), ContactsFormat::kGoogleCsv) << "the CSV layout last chosen";
    type("");
    EXPECT_EQ(format(), ContactsFormat::kGoogleCsv) << "an emptied field changes nothing";

    // Windows-1252 is never offered beside vCard 3.0, and never kept for it.
    logic_.ChooseContactsEncoding(quarvo::OutputEncoding::kWindows1252);
    EXPECT_EQ(logic_.contacts_output().encoding, quarvo::OutputEncoding::kWindows1252);
    type(folder_.File("out.csv"));
    logic_.ChooseContactsFormat(ContactsFormat::kVcard30);
    EXPECT_EQ(logic_.contacts_output().encoding, quarvo::OutputEncoding::kUtf8);
    EXPECT_EQ(window_.shown->encoding, quarvo::OutputEncoding::kUtf8);
    EXPECT_FALSE(
        quarvo::OffersEncoding(ContactsFormat::kVcard30, quarvo::OutputEncoding::kWindows1252));
    EXPECT_TRUE(
        quarvo::OffersEncoding(ContactsFormat::kVcard21, quarvo::OutputEncoding::kWindows1252));

    window_.log.clear();
    logic_.StartConversion();
    EXPECT_EQ(GetBytes(folder_.File("out.vcf")).rfind("BEGIN:VCARD\r\nVERSION:3.0\r\n", 0), 0u);
    EXPECT_FALSE(quarvo::PathExists(folder_.File("out.csv")));
    EXPECT_EQ(window_.log.at(2), "message " + quarvo::ConversionResultMessage(2, 0, true));
    EXPECT_NE(window_.log.at(2).find("2 Contacts converted to vCard !"), std::string::npos);
}

TEST(ContactsOutputChoice, ExtensionsAndHints) {
    using quarvo::ContactsFormat;
    const std::string sep(1, quarvo::kPathSeparator);
    const struct {
        std::string name;
        ContactsFormat format;
        std::string expected;
    } cases[] = {
        {"a" + sep + "b.csv", ContactsFormat::kVcard30, "a" + sep + "b.vcf"},
        {"a" + sep + "B.VCF", ContactsFormat::kOutlookCsv, "a" + sep + "B.csv"},
        {"a" + sep + "b", ContactsFormat::kVcard21, "a" + sep + "b.vcf"},
        {"a.d" + sep + "b", ContactsFormat::kVcard21, "a.d" + sep + "b.vcf"},
        {"a" + sep + ".hidden", ContactsFormat::kVcard30, "a" + sep + ".hidden.vcf"},
        {"export.txt", ContactsFormat::kVcard30, "export.vcf"},
        {"", ContactsFormat::kVcard30, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quarvo::WithContactsExtension(c.name, c.format), c.expected) << c.name;

    // The address book's CSV keeps the hint the window was designed with.
    for (const quarvo::layouts::Control& control : quarvo::layouts::kMainWindowControls) {
        if (control.name == "jfeContactsOutputFile") {
            EXPECT_EQ(quarvo::ContactsOutputHint(ContactsFormat::kWabCsv), control.hint);
        }
    }
    EXPECT_NE(quarvo::ContactsOutputHint(ContactsFormat::kVcard21).find("vCard 2.1 \ncontacts"),
              std::string::npos);
}

// Typing in one Opera file's field reads that file alone: a large file in
// the other field costs nothing at each key.
TEST_F(MainWindowLogicTest, AChangedFieldRecountsItsOwnFileAlone) {
    PutBytes(folder_.File("contacts.adr"), kContacts);
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    window_.names = {{NameField::OperaContacts, folder_.File("contacts.adr")},
                     {NameField::OperaBookmarks, folder_.File("opera6.adr")}};
    logic_.CountItems();
    PutBytes(folder_.File("opera6.adr"), "#URL\r\n#URL\r\n#URL\r\n");
    PutBytes(folder_.File("other.adr"), "#CONTACT\r\n");
    window_.names[NameField::OperaContacts] = folder_.File("other.adr");
    logic_.NameChanged(NameField::OperaContacts);
    window_.names[NameField::OperaContacts] = folder_.File("missing.adr");
    logic_.NameChanged(NameField::OperaContacts);
    logic_.NameChanged(NameField::OperaBookmarks);
    EXPECT_EQ(window_.log, (std::vector<std::string>{"counts 1 2 ready 3", "counts 1 1 ready 2",
                                                     "counts 1 0 ready 1", "counts 3 0 ready 3"}));
}

// Counts run off the window's thread: a name typed while its file is still
// counted cancels that count, whose result, arriving late, is never shown;
// the counts show once neither field's count is running.
TEST_F(MainWindowLogicTest, ARetypedNameCancelsTheRunningCountAndOnlyTheLatestIsShown) {
    PutBytes(folder_.File("contacts.adr"), kContacts);
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    PutBytes(folder_.File("other.adr"), "#URL\r\n#URL\r\n#URL\r\n");
    window_.names = {{NameField::OperaContacts, folder_.File("contacts.adr")},
                     {NameField::OperaBookmarks, folder_.File("opera6.adr")}};
    window_.defer_counts = true;
    logic_.CountItems();
    window_.names[NameField::OperaBookmarks] = folder_.File("other.adr");
    logic_.NameChanged(NameField::OperaBookmarks);
    ASSERT_EQ(window_.counts.size(), 3u);
    EXPECT_TRUE(window_.log.empty()) << "nothing is shown while the window's thread waits";
    EXPECT_TRUE(logic_.Counting());

    // The first hotlist count was cancelled: it ends at once, and is dropped.
    auto& [first_count, first_done] = window_.counts[0];
    const quarvo::EntryCount first = first_count();
    EXPECT_TRUE(first.cancelled);
    first_done(first);
    first_done(quarvo::CountEntries(folder_.File("opera6.adr"), "#URL", std::atomic<bool>{}));
    auto& [contacts_count, contacts_done] = window_.counts[1];
    contacts_done(contacts_count());
    EXPECT_TRUE(window_.log.empty()) << "the hotlist is still being counted";
    auto& [latest_count, latest_done] = window_.counts[2];
    latest_done(latest_count());
    EXPECT_FALSE(logic_.Counting());
    EXPECT_EQ(window_.log, (std::vector<std::string>{"counts 3 2 ready 5"}));
}

// An unreadable file's box waits for the counts to be shown; a count that
// arrived with the error and was overtaken does not use up the box.
TEST_F(MainWindowLogicTest, AnUnreadableNameOvertakenBeforeTheCountsShowIsStillReported) {
    const std::string unreadable = "/proc/sys/vm/drop_caches";
    try {
        if (quarvo::PlainFileExists(unreadable)) (void)quarvo::ReadWholeFile(unreadable);
        GTEST_SKIP() << "no unreadable file here";
    } catch (const quarvo::EStreamError&) {
    }
    PutBytes(folder_.File("contacts.adr"), kContacts);
    window_.names = {{NameField::OperaContacts, folder_.File("contacts.adr")},
                     {NameField::OperaBookmarks, unreadable}};
    window_.defer_counts = true;
    logic_.CountItems();
    auto run = [this](std::size_t index) {
        auto& [count, done] = window_.counts[index];
        done(count());
    };
    run(0);  // the unreadable hotlist's error, while the contacts are counted
    window_.names[NameField::OperaBookmarks] = folder_.File("missing.adr");
    logic_.NameChanged(NameField::OperaBookmarks);
    window_.names[NameField::OperaBookmarks] = unreadable;
    logic_.NameChanged(NameField::OperaBookmarks);
    ASSERT_EQ(window_.counts.size(), 4u);
    run(2);
    run(3);
    run(1);
    ASSERT_EQ(window_.log.size(), 2u);
    EXPECT_EQ(window_.log[0], "counts 0 2 ready 2");
    EXPECT_EQ(window_.log[1].rfind("error Cannot open file " + unreadable, 0), 0u)
        << window_.log[1];
    // Both fields naming it: still one box, and none for the same name again.
    window_.names[NameField::OperaContacts] = unreadable;
    logic_.NameChanged(NameField::OperaContacts);
    run(4);
    EXPECT_EQ(window_.log.size(), 3u);
}

TEST_F(MainWindowLogicTest, TheChosenFlavourIsWrittenAndItsDetailsShownOnlyOnRequest) {
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    window_.names = {{NameField::OperaBookmarks, folder_.File("opera6.adr")},
                     {NameField::BookmarksOutput, folder_.File("b.htm")}};
    EXPECT_FALSE(logic_.HasDetails());
    logic_.SetBookmarkOptions({quarvo::BookmarkFlavour::kBrowser, false});
    logic_.StartConversion();
    quarvo::ConversionReport report;
    EXPECT_EQ(GetBytes(folder_.File("b.htm")),
              quarvo::ConvertHotlistTextForBrowsers(kHotlist, false, report)->html);
    EXPECT_EQ(window_.log[2], "message " + quarvo::ConversionResultMessage(0, 1));
    ASSERT_TRUE(logic_.HasDetails());
    logic_.ShowDetails();
    EXPECT_EQ(window_.log.back(),
              "report What the last conversion wrote: | " +
                  report.Text("Bookmarks written to " + folder_.File("b.htm") + ":"));

    // The default flavour's report is made when asked for.
    logic_.SetBookmarkOptions({});
    logic_.StartConversion();
    EXPECT_EQ(GetBytes(folder_.File("b.htm")), quarvo::ConvertHotlistText(kHotlist)->html);
    logic_.ShowDetails();
    EXPECT_NE(window_.log.back().find("bookmarks: 1\ntrash items written as ordinary ones: 0\n"),
              std::string::npos)
        << window_.log.back();
}

constexpr char kSpeedDial[] =
    "Opera Preferences version 2.1\r\n\r\n"
    "[Speed Dial 1]\r\nTitle=Dial\r\nUrl=http://dial.example/\r\n";

// What a run hands on for each flavour: a browser's file may take the Speed
// Dial, sessions and search engines of the hotlist's profile; the Internet
// Explorer file never, even with the item left ticked.
TEST_F(MainWindowLogicTest, EachFlavourHandsTheRunTheLinksBesideTheHotlistOnlyWhenAsked) {
    using quarvo::BookmarkFlavour;
    PutBytes(folder_.File("opera6.adr"), kHotlist);
    PutBytes(folder_.File("speeddial.ini"), kSpeedDial);
    window_.names = {{NameField::OperaBookmarks, folder_.File("opera6.adr")}};
    const struct {
        BookmarkFlavour flavour;
        bool links;
        bool browser;
    } cases[] = {
        {BookmarkFlavour::kInternetExplorer, true, false},
        {BookmarkFlavour::kBrowser, false, true},
        {BookmarkFlavour::kBrowser, true, true},
        {BookmarkFlavour::kFirefoxBackup, true, true},
        {BookmarkFlavour::kChromium, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flavour) * 10 + c.links);
        logic_.SetBookmarkOptions({c.flavour, true});
        logic_.IncludeOperaLinks(c.links);
        const quarvo::BookmarkOptions options = logic_.BookmarkRunOptions();
        EXPECT_EQ(quarvo::IsBrowserFile(c.flavour), c.browser);
        EXPECT_EQ(options.flavour, c.flavour);
        EXPECT_TRUE(options.keep_trash);
        EXPECT_EQ(options.links.speed_dial,
                  c.links && c.browser ? folder_.File("speeddial.ini") : std::string());
        EXPECT_TRUE(options.links.sessions.empty() && options.links.search_engines.empty());
    }

    // The browser flavour writes the dials after the hotlist and keeps its report.
    logic_.SetBookmarkOptions({BookmarkFlavour::kBrowser, false});
    window_.names[NameField::BookmarksOutput] = folder_.File("b.htm");
    logic_.StartConversion();
    EXPECT_NE(GetBytes(folder_.File("b.htm")).find("http://dial.example/"), std::string::npos);
    logic_.ShowDetails();
    EXPECT_NE(window_.log.back().find("Bookmarks written to " + folder_.File("b.htm")),
              std::string::npos)
        << window_.log.back();

    // An output that is the Speed Dial file is refused before anything is written.
    window_.log.clear();
    window_.names[NameField::BookmarksOutput] = folder_.File("speeddial.ini");
    EXPECT_THROW(logic_.StartConversion(), quarvo::ESameFileError);
    EXPECT_EQ(GetBytes(folder_.File("speeddial.ini")), kSpeedDial);
    EXPECT_TRUE(window_.log.empty());
}

// The output name the window suggested follows the flavour; one the user
// gave stays as it is.
TEST_F(MainWindowLogicTest, TheSuggestedOutputNameFollowsTheFlavour) {
    using quarvo::BookmarkFlavour;
    const std::string documents = folder_.path().string() + quarvo::kPathSeparator;
    window_.folders[quarvo::kProgramFilesFolder] = documents;
    window_.folders[quarvo::kPersonalFolder] = documents;
    logic_.FormCreate();
    const struct {
        BookmarkFlavour flavour;
        const char* name;
    } cases[] = {
        {BookmarkFlavour::kInternetExplorer, "bookmark.htm"},
        {BookmarkFlavour::kFirefoxBackup, "bookmark.json"},
        {BookmarkFlavour::kChromium, "Bookmarks"},
        {BookmarkFlavour::kBrowser, "bookmark.htm"},
        {BookmarkFlavour::kFirefoxBackup, "bookmark.json"},
        {BookmarkFlavour::kInternetExplorer, "bookmark.htm"},
    };
    for (const auto& c : cases) {
        logic_.SetBookmarkOptions({c.flavour, false});
        EXPECT_EQ(window_.FileName(NameField::BookmarksOutput), documents + c.name)
            << static_cast<int>(c.flavour);
    }
    window_.names[NameField::BookmarksOutput] = documents + "bookmark.json";
    logic_.SetBookmarkOptions({BookmarkFlavour::kChromium, false});
    EXPECT_EQ(window_.FileName(NameField::BookmarksOutput), documents + "bookmark.json");
}

TEST_F(MainWindowLogicTest, DefaultsStopAtAFailingLookupKeepingWhatWasSet) {
    const std::string programs = folder_.path().string() + quarvo::kPathSeparator;
    std::filesystem::create_directories(folder_.path() / "Opera" / "profile");
    PutBytes(programs + "Opera" + quarvo::kPathSeparator + "profile" + quarvo::kPathSeparator +
                 "contacts.adr",
             kContacts);
    window_.folders[quarvo::kProgramFilesFolder] = programs;
    window_.fail_documents = true;
    EXPECT_THROW(logic_.FormCreate(), quarvo::Exception);
    EXPECT_EQ(logic_.ProgramFilesPath(), programs);
    EXPECT_EQ(window_.FileName(NameField::OperaContacts),
              programs + "Opera" + quarvo::kPathSeparator + "profile" + quarvo::kPathSeparator +
                  "contacts.adr");
    EXPECT_EQ(window_.names.count(NameField::ContactsOutput), 0u);
}

}  // namespace
