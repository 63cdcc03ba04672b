// SPDX-License-Identifier: MIT
// The mail export as a whole: the hand-made store against its golden
// mailboxes and sheet, a 20 MB message byte for byte, the Maildir, the real
// store with every message accounted for, and the runs that must write
// nothing: an output in or around the mail folder, a folder of the user's,
// a cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "formats/maildir_writer.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/mail_export.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

const std::string kData = QUARVO_TEST_DATA_DIR;
const std::string kStore = kData + "/opera_mail";

std::string Replaced(const std::string& text, const std::string& from, const std::string& to) {
    std::string replaced;
    std::size_t done = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
        replaced.append(text, done, at - done).append(to);
        done = at + from.size();
    }
    return replaced.append(text, done);
}

TEST(MailExport, WritesTheHandMadeStoreAsItsGoldenMailboxesAndSheet) {
    TempFolder folder;
    const std::string out = folder.File("out");
    ConversionReport report;
    const MailExportOutcome done = ExportOperaMail(kStore, out, {}, report);
    EXPECT_FALSE(done.cancelled);
    EXPECT_EQ(done.messages, 7u);
    EXPECT_EQ(done.mailboxes, 4u);
    EXPECT_TRUE(done.unreadable.empty());
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(kData + "/golden/mail")) {
        const std::string name = entry.path().filename().string();
        std::string written = GetBytes(out + "/" + name);
        // The sheet names the mail folder; Windows spells its own part with '\\'.
        if (name == kAccountSheetName)
            written = Replaced(Replaced(written, "\\", "/"), kData, "DATA");
        EXPECT_EQ(written, GetBytes(entry.path().string())) << name;
        ++files;
    }
    EXPECT_EQ(folder.EntryCount(), 1u);  // no temporary left beside it
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()),
              static_cast<long>(files));
    EXPECT_EQ(report.CountOf("messages written"), 7);
    EXPECT_EQ(report.CountOf("files holding several messages"), 1);
    EXPECT_EQ(report.CountOf("settings left out as passwords"), 1);
    EXPECT_EQ(GetBytes(out + "/accounts.html").find("not-to-be-copied"), std::string::npos);
}

// The message's bytes as a Maildir file must have them: the .mbs file
// without Opera's first line.
std::string WithoutFirstLine(const std::string& bytes) {
    return bytes.substr(bytes.find('\n') + 1);
}

TEST(MailExport, MaildirFilesHoldEachMessageByteForByteAndDraftsAreFlagged) {
    TempFolder folder;
    const std::string out = folder.File("out");
    ConversionReport report;
    MailExportOptions options;
    options.format = MailboxFormat::kMaildir;
    ExportOperaMail(kStore, out, options, report);
    std::multiset<std::string> written;
    std::size_t drafts = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (!entry.is_regular_file() || entry.path().parent_path().filename() != "cur") continue;
        written.insert(GetBytes(entry.path().string()));
        const std::string name = entry.path().filename().string();
        const bool draft = entry.path().parent_path().parent_path().filename() == "Drafts";
        drafts += draft;
        if (formats::kMaildirInfoInNames)
            EXPECT_TRUE(name.ends_with(draft ? ":2,D" : ":2,")) << name;
        else
            EXPECT_EQ(name.find(':'), std::string::npos) << name;
    }
    EXPECT_EQ(drafts, 1u);
    EXPECT_EQ(written.size(), 7u);
    for (const char* file :
         {"account1/2014/06/30/12.mbs", "account1/2014/06/29/3.mbs", "account1/2014/07/01/20.mbs",
          "account2/2013/01/05/7.mbs", "drafts/4.mbs"})
        EXPECT_EQ(written.count(WithoutFirstLine(GetBytes(kStore + "/store/" + file))), 1u) << file;
    for (const std::string_view sub : {"/Work/new", "/Work/tmp", "/Drafts/new"})
        EXPECT_TRUE(fs::is_directory(out + std::string(sub))) << sub;
}

TEST(MailExport, CopiesA20MegabyteMessageExactlyAcrossItsChunks) {
    TempFolder folder;
    const std::string mail = folder.File("mail");
    fs::create_directories(mail + "/store/account1/2015/01/02");
    std::string message =
        "From a@x Fri Jan 02 10:00:00 2015 9\r\nSubject: big\r\nDate: Fri, 2 Jan 2015 10:00:00 "
        "+0000\r\n"
        "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    std::string line;
    for (int i = 0; i < 76; ++i) line += static_cast<char>('A' + (i * 7) % 26);
    while (message.size() < 20 * 1000 * 1000) message += line + "\r\n";
    message += "From the end\r\n";  // a From line after the megabytes, quoted in the mbox
    PutBytes(mail + "/store/account1/2015/01/02/9.mbs", message);
    const std::string body = WithoutFirstLine(message);

    ConversionReport report;
    ExportOperaMail(mail, folder.File("mbox"), {}, report);
    const std::string expected = "From a@x Fri Jan  2 10:00:00 2015\r\n" +
                                 Replaced(body, "\r\nFrom the end", "\r\n>From the end") + "\r\n";
    EXPECT_TRUE(GetBytes(folder.File("mbox/account1.mbox")) == expected);

    MailExportOptions maildir;
    maildir.format = MailboxFormat::kMaildir;
    maildir.lf_line_ends = true;
    ExportOperaMail(mail, folder.File("maildir"), maildir, report);
    const fs::path cur = folder.File("maildir/account1/cur");
    ASSERT_EQ(std::distance(fs::directory_iterator(cur), fs::directory_iterator()), 1);
    EXPECT_TRUE(GetBytes(fs::directory_iterator(cur)->path().string()) ==
                Replaced(body, "\r\n", "\n"));
}

TEST(MailExport, TheRealStoreHasEveryMessageAccountedFor) {
    const std::string mail = std::string(QUARVO_PROFILE_CORPUS_DIR) + "/opera-config/mail";
    if (!fs::exists(mail)) GTEST_SKIP() << "no corpus at " << mail;
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(mail + "/store"))
        files += entry.path().extension() == ".mbs";
    TempFolder folder;
    ConversionReport report;
    const MailExportOutcome done = ExportOperaMail(mail, folder.File("out"), {}, report);
    // Opera 9 and later keep one message a file: written + left out = files.
    EXPECT_EQ(files, 15u);
    EXPECT_EQ(done.messages + done.unreadable.size() +
                  static_cast<std::size_t>(report.CountOf(".mbs files holding no message")),
              files);
    EXPECT_EQ(done.messages, 15u);
    const std::string sheet = GetBytes(folder.File("out/accounts.html"));
    EXPECT_NE(sheet.find("imap.gmail.com, port 993, secure connection: yes"), std::string::npos);
    EXPECT_NE(sheet.find("Labels (7)"), std::string::npos);
    EXPECT_EQ(report.CountOf("accounts on the sheet"), 1);
}

TEST(MailExport, AFileThatCannotBeReadIsNamedAndLeftOutTheRestWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "a link that leads nowhere needs a privilege on Windows";
#endif
    TempFolder folder;
    const std::string mail = folder.File("mail");
    fs::create_directories(mail + "/store/account1");
    PutBytes(mail + "/store/account1/1.mbs",
             "From a@x Fri Jan 02 10:00:00 2015 1\nSubject: a\n\nA\n");
    fs::create_symlink("nowhere.mbs", mail + "/store/account1/2.mbs");
    PutBytes(mail + "/store/account1/3.mbs", "");
    ConversionReport report;
    const MailExportOutcome done = ExportOperaMail(mail, folder.File("out"), {}, report);
    EXPECT_EQ(done.messages, 1u);
    ASSERT_EQ(done.unreadable.size(), 1u);
    EXPECT_NE(done.unreadable[0].find("2.mbs"), std::string::npos);
    EXPECT_EQ(report.CountOf(".mbs files holding no message"), 1);
    EXPECT_EQ(report.CountOf("files that could not be read, left out"), 1);
}

TEST(MailExport, RunsThatWouldMixOrLoseFoldersWriteNothing) {
    TempFolder folder;
    const std::string mail = folder.File("mail");
    fs::create_directories(mail + "/store/account1");
    PutBytes(mail + "/store/account1/1.mbs",
             "From a@x Fri Jan 02 10:00:00 2015 1\nSubject: a\n\nA\n");
#ifndef _WIN32
    fs::create_directory_symlink("mail", folder.File("link"));
#endif
    fs::create_directories(folder.File("mine"));
    PutBytes(folder.File("mine/keep.txt"), "mine");
    const auto state = [&] {
        std::string names;
        for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
            names += entry.path().string() + " ";
        return names;
    };
    const std::string before = state();
    ConversionReport report;
    const auto refused = [&](const std::string& out, bool same_file) {
        try {
            ExportOperaMail(mail, out, {}, report);
        } catch (const ESameFileError&) {
            return same_file;
        } catch (const EFCreateError&) {
            return !same_file;
        }
        return false;
    };
    EXPECT_TRUE(refused(mail, true));
    EXPECT_TRUE(refused(mail + "/store/out", true));
#ifndef _WIN32
    EXPECT_TRUE(refused(folder.File("link/out"), true));  // inside it by another spelling
#endif
    EXPECT_TRUE(refused(folder.path().string(), true));  // holds it
    EXPECT_TRUE(refused(folder.File("mine"), false));    // a folder of the user's with files
    EXPECT_EQ(state(), before);

    // With another conversion of the same run, neither may hold the other's files.
    ConversionRun run;
    run.contacts = ConversionJob{folder.File("mine/keep.txt"), folder.File("c.csv")};
    EXPECT_THROW(CheckMailExport(mail, folder.File("mine"), run), ESameFileError);
    run.contacts = ConversionJob{folder.File("mine/keep.txt"), mail + "/c.csv"};
    EXPECT_THROW(CheckMailExport(mail, folder.File("out"), run), ESameFileError);

    std::atomic<bool> cancel{true};
    EXPECT_TRUE(ExportOperaMail(mail, folder.File("mine"), {MailboxFormat::kMbox, false, true},
                                report, {}, &cancel)
                    .cancelled);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(GetBytes(folder.File("mine/keep.txt")), "mine");

    EXPECT_THROW(ExportOperaMail(folder.File("mine"), folder.File("out"), {}, report), EFOpenError);
    EXPECT_EQ(state(), before);
}

TEST(MailExport, ProgressReachesTheWholeAndCancelBetweenMessagesLeavesNothing) {
    TempFolder folder;
    ConversionReport report;
    MailProgress last;
    std::size_t steps = 0;
    std::atomic<bool> cancel{false};
    const MailProgressSink progress = [&](const MailProgress& step) {
        last = step;
        ++steps;
        if (step.phase == MailProgress::Phase::kWriting && step.done > 0) cancel = true;
    };
    const MailExportOutcome done =
        ExportOperaMail(kStore, folder.File("out"), {}, report, progress, &cancel);
    EXPECT_TRUE(done.cancelled);
    EXPECT_EQ(folder.EntryCount(), 0u);

    cancel = false;
    ExportOperaMail(kStore, folder.File("out"), {}, report,
                    [&](const MailProgress& step) { last = step; });
    EXPECT_EQ(last.phase, MailProgress::Phase::kWriting);
    EXPECT_EQ(last.done, last.total);
    EXPECT_GT(steps, 1u);
}

}  // namespace
}  // namespace quarvo
