// SPDX-License-Identifier: MIT
// A whole profile counted and exported into one folder: the counts are the
// per-kind readers', the files the per-kind conversions' bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts_export.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/conversions/notes_export.h"
#include "quarvo/conversions/profile_export.h"
#include "quarvo/conversions/profile_kinds.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

const std::string kData = QUARVO_TEST_DATA_DIR;
const std::string kBrowsers = QUARVO_BROWSER_TEST_DIR;

// Every file below `folder` by its relative name, with its bytes.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).generic_string()] =
                GetBytes(entry.path().string());
    return files;
}

std::int64_t CountOf(const ProfileKindSurvey& kind, std::string_view label) {
    for (const auto& [name, count] : kind.counts)
        if (name == label) return count;
    return -1;
}

const ProfileKindSurvey* KindIn(const ProfileSurvey& survey, std::string_view id) {
    for (const ProfileKindSurvey& kind : survey.kinds)
        if (kind.kind == id) return &kind;
    return nullptr;
}

// A profile of the hand-made samples: every kind the export writes, and
// the two files it only lists.
class SampleProfile {
  public:
    SampleProfile() {
        fs::create_directories(folder_);
        fs::copy_file(kBrowsers + "/every_feature.adr", folder_ / "opera6.adr");
        fs::copy_file(kData + "/contacts_every_field.adr", folder_ / "contacts.adr");
        fs::copy_file(kData + "/notes_every_case.adr", folder_ / "notes.adr");
        fs::copy(kData + "/opera_mail", folder_ / "mail", fs::copy_options::recursive);
        PutBytes((folder_ / "wand.dat").string(), "not to be read");
        PutBytes((folder_ / "cookies4.dat").string(), "not to be read either");
        PutBytes((folder_ / "speeddial.ini").string(),
                 "[Speed Dial 1]\nUrl=http://d/\n[Speed Dial 2]\nUrl=http://e/\nExtension ID=x\n");
        const std::vector<OperaProfile> found = OperaProfilesIn(folder_.string(), OperaPlaces{});
        profile_ = found.front();
    }
    const OperaProfile& profile() const { return profile_; }
    std::string Out(std::string_view name) const { return temp_.File(name); }

  private:
    TempFolder temp_;
    // A name that the report must escape, and that Windows allows.
    fs::path folder_ = temp_.path() / "profile a&b";
    OperaProfile profile_;
};

TEST(ProfileExport, CountsEachKindAsItsConversionDoesAndListsTheUntouchedFiles) {
    SampleProfile sample;
    const ProfileSurvey survey = SurveyProfile(sample.profile());
    std::vector<std::string> ids;
    for (const ProfileKindSurvey& kind : survey.kinds) ids.push_back(kind.kind);
    EXPECT_EQ(ids,
              (std::vector<std::string>{"bookmarks", "contacts", "notes", "mail", "speed-dial"}));

    ConversionReport bookmarks;
    const auto html =
        ConvertHotlistTextForBrowsers(GetBytes(sample.profile().hotlist), false, bookmarks);
    ASSERT_TRUE(html);
    EXPECT_EQ(CountOf(*KindIn(survey, "bookmarks"), "bookmarks"), html->bookmarks);
    EXPECT_EQ(CountOf(*KindIn(survey, "bookmarks"), "folders"), bookmarks.CountOf("folders"));

    ConversionReport notes;
    TempFolder notes_out;
    RunNotesExport(NotesJob(sample.profile().notes, notes_out.File("n"), {}), {}, notes);
    EXPECT_EQ(CountOf(*KindIn(survey, "notes"), "notes"), notes.CountOf(kNotesCount));
    EXPECT_EQ(CountOf(*KindIn(survey, "notes"), "in Opera's trash (left out)"),
              notes.CountOf(kTrashNotesLeftOutCount));

    // The vCards leave out the trash, as the survey's count does.
    const ContactsExport vcards = ExportContactsText(GetBytes(sample.profile().contacts), true, {});
    std::int64_t cards = 0;
    for (std::size_t at = vcards.text.find("BEGIN:VCARD"); at != std::string::npos;
         at = vcards.text.find("BEGIN:VCARD", at + 1))
        ++cards;
    EXPECT_EQ(CountOf(*KindIn(survey, "contacts"), "contacts"), cards);

    ConversionReport mail;
    TempFolder mail_out;
    const MailExportOutcome exported =
        ExportOperaMail(sample.profile().mail, mail_out.File("m"), {}, mail);
    EXPECT_EQ(CountOf(*KindIn(survey, "mail"), "messages"),
              static_cast<std::int64_t>(exported.messages));
    EXPECT_EQ(CountOf(*KindIn(survey, "mail"), "mailboxes"),
              static_cast<std::int64_t>(exported.mailboxes));

    // Counted as the browser flavour counts them, not yet written.
    EXPECT_EQ(CountOf(*KindIn(survey, "speed-dial"), "speed dials"), 1);
    EXPECT_EQ(CountOf(*KindIn(survey, "speed-dial"), "extension speed dials left out"), 1);
    // Listed with their sizes, never opened.
    ASSERT_TRUE(survey.passwords && survey.cookies);
    EXPECT_EQ(survey.passwords->size, 14u);
    EXPECT_EQ(survey.cookies->size, 21u);
    const std::vector<std::string> lines = SurveyLines(survey);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_NE(lines[6].find("wand.dat (14 bytes): saved passwords: not read"), std::string::npos)
        << lines[6];
}

TEST(ProfileExport, WritesTheBytesOfEachKindsOwnConversionIntoOneFolder) {
    SampleProfile sample;
    const OperaProfile& profile = sample.profile();
    const std::string out = sample.Out("export");
    const ProfileExport done = ExportProfile(profile, out, {});
    ASSERT_FALSE(done.cancelled);
    const std::map<std::string, std::string> tree = Tree(out);

    // The bookmark files hold the Speed Dial found beside the hotlist.
    ConversionReport ignored;
    BookmarkOptions bookmarks{BookmarkFlavour::kBrowser, false, {}};
    bookmarks.links.speed_dial = profile.speed_dial;
    for (const auto& [name, flavour] :
         {std::pair{"bookmarks.html", BookmarkFlavour::kBrowser},
          std::pair{"bookmarks.json", BookmarkFlavour::kFirefoxBackup},
          std::pair{"Bookmarks", BookmarkFlavour::kChromium}}) {
        bookmarks.flavour = flavour;
        EXPECT_EQ(tree.at(name),
                  ConvertHotlistTextFor(GetBytes(profile.hotlist), bookmarks, ignored)->html)
            << name;
    }
    EXPECT_NE(tree.at("Bookmarks").find("Speed Dial"), std::string::npos);
    // What Chromium's file cannot hold is in the report: the hotlist's one separator.
    EXPECT_NE(tree.at("report.html").find("1 separators left out (Chromium has none)"),
              std::string::npos);
    RunContactsExport({profile.contacts, sample.Out("c.vcf")}, {});
    EXPECT_EQ(tree.at("contacts.vcf"), GetBytes(sample.Out("c.vcf")));
    ContactsExportOptions outlook;
    outlook.layout = ContactsCsvLayout::kOutlook;
    outlook.encoding = OutputEncoding::kUtf8Bom;
    RunContactsExport({profile.contacts, sample.Out("c.csv")}, outlook);
    EXPECT_EQ(tree.at("contacts.csv"), GetBytes(sample.Out("c.csv")));
    NotesExportOptions enex;
    enex.format = NotesFormat::kEnex;
    RunNotesExport(NotesJob(profile.notes, sample.Out("n.enex"), enex), enex, ignored);
    EXPECT_EQ(tree.at("notes.enex"), GetBytes(sample.Out("n.enex")));
    ExportOperaMail(profile.mail, sample.Out("mail"), {}, ignored);
    RunNotesExport(NotesJob(profile.notes, sample.Out("notes"), {}), {}, ignored);

    // The folders' files, each under its folder, and nothing else but the report.
    std::map<std::string, std::string> expected = {{"bookmarks.html", tree.at("bookmarks.html")},
                                                   {"bookmarks.json", tree.at("bookmarks.json")},
                                                   {"Bookmarks", tree.at("Bookmarks")},
                                                   {"contacts.vcf", tree.at("contacts.vcf")},
                                                   {"contacts.csv", tree.at("contacts.csv")},
                                                   {"notes.enex", tree.at("notes.enex")},
                                                   {"report.html", tree.at("report.html")}};
    for (const char* folder : {"mail", "notes"})
        for (const auto& [name, bytes] : Tree(sample.Out(folder)))
            expected[std::string(folder) + "/" + name] = bytes;
    EXPECT_EQ(tree, expected);
    EXPECT_GT(Tree(sample.Out("mail")).size(), 1u);

    // The report names every kind and file, escaped; the untouched files
    // are named with their warning and not copied.
    const std::string& report = tree.at("report.html");
    EXPECT_NE(report.find("profile a&amp;b"), std::string::npos);
    EXPECT_EQ(report.find("profile a&b"), std::string::npos);
    for (const char* named :
         {"bookmarks.html", "contacts.csv", "notes.enex", "mail/", "wand.dat", "cookies4.dat",
          "Import Bookmarks from HTML", "bookmarks.json", "Restore, Choose File"})
        EXPECT_NE(report.find(named), std::string::npos) << named;
}

TEST(ProfileExport, LeavesOutWhatIsAskedAndRefusesWhatWouldHarmTheProfile) {
    SampleProfile sample;
    const OperaProfile& profile = sample.profile();
    ProfileExportOptions without;
    without.without = {"contacts", "mail", "speed-dial"};
    const ProfileExport done = ExportProfile(profile, sample.Out("some"), without);
    EXPECT_EQ(done.left_out, (std::vector<std::string>{"contacts", "mail", "speed-dial"}));
    EXPECT_EQ(GetBytes(sample.Out("some/Bookmarks")).find("Speed Dial"), std::string::npos);
    EXPECT_FALSE(fs::exists(sample.Out("some/contacts.vcf")));
    EXPECT_FALSE(fs::exists(sample.Out("some/mail")));
    EXPECT_TRUE(fs::exists(sample.Out("some/notes.enex")));

    // Without a hotlist the bookmark files hold the Speed Dial alone; left
    // out too, there are none.
    OperaProfile dials_only = profile;
    dials_only.hotlist.clear();
    ProfileExportOptions bookmarks_only;
    bookmarks_only.without = {"contacts", "notes", "mail"};
    (void)ExportProfile(dials_only, sample.Out("dials"), bookmarks_only);
    EXPECT_NE(GetBytes(sample.Out("dials/Bookmarks")).find("http://d/"), std::string::npos);
    EXPECT_NE(GetBytes(sample.Out("dials/bookmarks.json")).find("http://d/"), std::string::npos);
    bookmarks_only.without.push_back("bookmarks");
    const ProfileExport hotlist_left_out =
        ExportProfile(profile, sample.Out("hotlist left out"), bookmarks_only);
    EXPECT_EQ(hotlist_left_out.left_out.front(), "bookmarks");
    const std::string html = GetBytes(sample.Out("hotlist left out/bookmarks.html"));
    EXPECT_NE(html.find("http://d/"), std::string::npos);
    EXPECT_EQ(html.find("http://first/"), std::string::npos) << "nothing of the hotlist";
    bookmarks_only.without.push_back("speed-dial");
    (void)ExportProfile(dials_only, sample.Out("nothing"), bookmarks_only);
    EXPECT_FALSE(fs::exists(sample.Out("nothing/bookmarks.html")));

    // A folder with files is refused unless replaced; the profile itself,
    // a folder holding it and its mail folder always.
    EXPECT_THROW((void)ExportProfile(profile, sample.Out("some"), {}), EFCreateError);
    ProfileExportOptions replace;
    replace.replace = true;
    EXPECT_NO_THROW((void)ExportProfile(profile, sample.Out("some"), replace));
    EXPECT_TRUE(fs::exists(sample.Out("some/contacts.vcf")));
    for (const std::string& harmful : {profile.folder, sample.Out(""), profile.mail + "out"})
        EXPECT_THROW((void)ExportProfile(profile, harmful, replace), ESameFileError) << harmful;
    EXPECT_TRUE(fs::exists(profile.hotlist));

    // Cancel leaves nothing, nor does a kind that fails once it writes.
    std::atomic<bool> cancel{false};
    const ProfileExport cancelled = ExportProfile(
        profile, sample.Out("cancelled"), {},
        [&](std::string_view kind, std::size_t, std::size_t) { cancel = kind == "Notes"; },
        &cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(fs::exists(sample.Out("cancelled")));
}

TEST(ProfileExport, NamesAKindThatCannotBeReadAndWritesTheRest) {
    SampleProfile sample;
    OperaProfile profile = sample.profile();
    PutBytes(profile.notes, "Opera Hotlist version 3.0\n");
    profile.contacts = sample.Out("vanished.adr");
    profile.speed_dial = sample.Out("vanished.ini");  // named in the bookmarks' report
    const ProfileExport done = ExportProfile(profile, sample.Out("out"), {});
    std::map<std::string, std::string> problems;
    for (const ProfileKindExport& kind : done.kinds) problems[kind.kind] = kind.problem;
    EXPECT_NE(problems.at("notes").find("version is not 2.0"), std::string::npos);
    EXPECT_NE(problems.at("contacts").find("vanished.adr"), std::string::npos);
    EXPECT_TRUE(problems.at("bookmarks").empty());
    EXPECT_TRUE(fs::exists(sample.Out("out/bookmarks.html")));
    EXPECT_NE(done.kinds.front().report.Text("").find("vanished.ini"), std::string::npos);
    EXPECT_FALSE(fs::exists(sample.Out("out/notes")));
}

TEST(ProfileExport, ExportsTheRealProfilesWithEveryMessageAccountedFor) {
    const std::string corpus = QUARVO_PROFILE_CORPUS_DIR;
    if (corpus.empty() || !fs::is_directory(corpus)) GTEST_SKIP() << "no profile corpus";
    TempFolder out;
    std::size_t exported = 0;
    for (const OperaProfile& profile : OperaProfilesIn(corpus, OperaPlaces{})) {
        const ProfileSurvey survey = SurveyProfile(profile);
        for (const ProfileKindSurvey& kind : survey.kinds)
            EXPECT_TRUE(kind.problem.empty()) << kind.source << ": " << kind.problem;
        const std::string target = out.File(std::to_string(exported++));
        const ProfileExport done = ExportProfile(profile, target, {});
        for (const ProfileKindExport& kind : done.kinds) {
            EXPECT_TRUE(kind.problem.empty()) << kind.source << ": " << kind.problem;
            if (kind.kind != "mail") continue;
            EXPECT_EQ(kind.report.CountOf("messages written"),
                      CountOf(*KindIn(survey, "mail"), "messages"));
        }
        EXPECT_TRUE(fs::exists(target + "/report.html"));
    }
    EXPECT_GE(exported, 5u);
}

}  // namespace
}  // namespace quarvo
