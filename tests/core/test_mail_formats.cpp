// SPDX-License-Identifier: MIT
// The pieces of the mail export that decide bytes: mboxrd quoting and line
// ends across any cut of the input, the dates that order a mailbox, Opera's
// separator lines, the splitting of older files, names, and what of the
// account files is kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/mail_dates.h"
#include "formats/file_names.h"
#include "formats/mbox_writer.h"
#include "formats/opera_mail_settings.h"
#include "formats/opera_mail_store.h"

namespace quarvo::formats {
namespace {

// Feeds `input` cut into pieces of `piece` bytes.
std::string Filtered(std::string_view input, bool quote, bool lf, std::size_t piece, bool* ended) {
    MessageFilter filter(quote, lf);
    std::string out;
    for (std::size_t at = 0; at < input.size(); at += piece)
        filter.Feed(input.substr(at, piece), out);
    const bool end = filter.Finish(out);
    if (ended) *ended = end;
    return out;
}

struct FilterCase {
    const char* what;
    std::string input;
    bool quote, lf;
    std::string output;
    bool ended_with_line_end;
};

TEST(MessageFilter, QuotesFromLinesAndMakesLfTheSameForEveryCutOfTheInput) {
    const FilterCase cases[] = {
        {"From lines get one more '>'", "From a\n>From b\n>>From c\n", true, false,
         ">From a\n>>From b\n>>>From c\n", true},
        {"only at a line's start and only a whole \"From \"",
         " From a\nFrom\nFromage\n>From\n>x From \n", true, false,
         " From a\nFrom\nFromage\n>From\n>x From \n", true},
        {"CR LF kept, quoted all the same", "a\r\nFrom b\r\n", true, false, "a\r\n>From b\r\n",
         true},
        {"CR LF made LF; a lone CR stays", "a\r\nb\rc\r\n\r\nd\r", false, true, "a\nb\rc\n\nd\r",
         false},
        {"LF and quoting together", "x\r\n>From y\r\n", true, true, "x\n>>From y\n", true},
        {"no quoting for a Maildir", "From a\n", false, false, "From a\n", true},
        {"no final line end is told", "last line", true, false, "last line", false},
        {"a message that is one From line", "From ", true, false, ">From ", false},
        {"'>' alone at the end", "a\n>>", true, false, "a\n>>", false},
    };
    for (const FilterCase& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, c.input.size()}) {
            bool ended = false;
            EXPECT_EQ(Filtered(c.input, c.quote, c.lf, piece, &ended), c.output)
                << c.what << ", pieces of " << piece;
            EXPECT_EQ(ended, c.ended_with_line_end) << c.what;
        }
    }
}

TEST(MailDates, ReadTheFormsMailersWroteAndRefuseTheRest) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> seconds;
    } cases[] = {
        {"Mon, 30 Jun 2014 21:47:12 +0800", 1404136032},
        {"30 Jun 2014 13:47:12 GMT", 1404136032},
        {"Mon, 30 Jun 14 06:47:12 PDT (comment)", 1404136032},
        {"Monday, 30 June 2014 13:47 +0000", 1404136020},
        {"Mon Jun 30 13:47:12 2014", 1404136032},  // asctime in a Date header
        {" Thu, 1 Jan 1970 00:00:00 -0000", 0},
        {"Sat, 29 Feb 2020 12:00:00 +0000", 1582977600},
        {"Mon, 31 Jun 2014 21:47:12 +0800", std::nullopt},
        {"Mon, 30 Jun 2014 25:47:12 +0800", std::nullopt},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseMailDate(c.text), c.seconds) << c.text;
    EXPECT_EQ(ParseAsctime("Mon Jul 21 15:09:03 2014"), 1405955343);
    EXPECT_EQ(ParseAsctime("Mon Jul 21 15:09:03"), std::nullopt);
    EXPECT_EQ(FormatAsctime(1405955343), "Mon Jul 21 15:09:03 2014");
    EXPECT_EQ(FormatAsctime(0), "Thu Jan  1 00:00:00 1970");
    EXPECT_EQ(FormatAsctime(-1), "Wed Dec 31 23:59:59 1969");
}

TEST(OperaFromLine, GivesSenderAndTimeAndTheSeparatorWritesAReadableOne) {
    const auto line = ParseOperaFromLine("From 10000@qq.com Mon Jul 21 15:09:03 2014 1119\r\n");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->sender, "10000@qq.com");
    EXPECT_EQ(line->time, "Mon Jul 21 15:09:03 2014");
    const auto draft = ParseOperaFromLine("From  Mon Jul 21 15:08:33 2014 2\r\n");
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->sender, "");
    EXPECT_EQ(ParseOperaFromLine("From: Bob <b@x>\r\n"), std::nullopt);
    EXPECT_EQ(ParseOperaFromLine("From here on\n"), std::nullopt);
    EXPECT_EQ(MboxSeparator(draft->sender, draft->seconds, "\r\n"),
              "From MAILER-DAEMON Mon Jul 21 15:08:33 2014\r\n");
    EXPECT_EQ(MboxSeparator("a b", 0, "\n"), "From MAILER-DAEMON Thu Jan  1 00:00:00 1970\n");
}

TEST(MessageSplitter, FindsTheMessagesOfAnOlderFileForEveryCut) {
    const std::string file =
        "From a@x Tue Mar 01 10:00:00 2005\n"
        "Date: Tue, 01 Mar 2005 11:00:00 +0100\n\n"
        "one\nFrom a@x Tue Mar 01 10:00:00 2005 (no empty line before: a body line)\n\n"
        "From b@x Thu Mar 03 10:00:00 2005\n"
        "Subject: no date\n\n"
        "two\n>From quoted\n\n";
    const std::size_t second = file.find("From b@x");
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, file.size()}) {
        MessageSplitter splitter;
        for (std::size_t at = 0; at < file.size(); at += piece)
            splitter.Feed(std::string_view(file).substr(at, piece));
        const std::vector<MessageSplitter::Found> found = splitter.Finish();
        ASSERT_EQ(found.size(), 2u) << "pieces of " << piece;
        EXPECT_EQ(found[0].start, 0u);
        EXPECT_EQ(found[0].body, file.find("Date:"));
        EXPECT_EQ(found[0].end, second - 1);  // the empty line is the separator's
        EXPECT_EQ(found[0].date, 1109671200);
        EXPECT_EQ(found[1].start, second);
        EXPECT_EQ(found[1].end, file.size() - 1);
        EXPECT_EQ(found[1].date, std::nullopt);
        EXPECT_EQ(found[1].opera_time, 1109844000);
    }
    MessageSplitter headless;  // bytes before any From line are a message of their own
    headless.Feed("\nSubject: x\n\nbody\n");
    const auto found = headless.Finish();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].start, 0u);
    EXPECT_EQ(found[0].end, 18u);
    EXPECT_TRUE(IsOneMessageFileName("1130.mbs"));
    EXPECT_FALSE(IsOneMessageFileName("inbox.mbs"));
    EXPECT_EQ(HeaderValue("Subject: a\r\nDate: Mon,\r\n 30 Jun 2014\r\n\r\nDate: no", "date"),
              " Mon, 30 Jun 2014");
}

TEST(MailboxNames, AreNamesEverySystemTakesAndNeverTwoAlike) {
    struct Case {
        const char* name;
        const char* safe;
    } cases[] = {
        {"alycolas@gmail.com", "alycolas@gmail.com"},
        {"Home <mail>: a/b\\c|d?*\"", "Home _mail__ a_b_c_d___"},
        {"..hidden. ", "hidden"},
        {"CON", "CON_"},
        {"nul.txt", "nul_.txt"},
        {"COM1", "COM1_"},
        {"\x01tab\t", "_tab"},
        {"...", "account1"},
    };
    for (const Case& c : cases) EXPECT_EQ(SafeFileName(c.name, "account1"), c.safe) << c.name;
    const std::string long_name =
        std::string(100, 'a') + "\xC3\xA4";  // a two-byte letter past the limit
    EXPECT_EQ(SafeFileName(long_name, "x"), std::string(100, 'a'));
    UniqueNames names;
    names.Reserve("accounts.html");
    EXPECT_EQ(names.Take("Work", ".mbox"), "Work.mbox");
    EXPECT_EQ(names.Take("work", ".mbox"), "work (2).mbox");
    EXPECT_EQ(names.Take("Accounts", ".html"), "Accounts (2).html");
}

TEST(MailSettings, LeaveOutEveryPasswordAndKeepTheRest) {
    const std::string ini =
        "\xEF\xBB\xBFOpera Preferences version 2.1\n[Accounts]\nCount=1\nMaster Password=m1\n"
        "[Account1]\nAccount Name=Home\nIncoming Password=p1\nSMTP Passwd=p2\nsecret=p3\n"
        "Outgoing Pass=p4\nPassive Mode=1\nReplyto\nEmail = a@x \n[Account7]\nEmail=b@x\n";
    const OperaAccounts read = ReadOperaAccounts(ini);
    ASSERT_EQ(read.accounts.size(), 2u);
    const model::MailAccount& home = read.accounts[0];
    EXPECT_EQ(home.number, 1);
    EXPECT_EQ(home.Setting("account name"), "Home");
    EXPECT_EQ(home.Setting("Email"), "a@x");
    EXPECT_EQ(home.Setting("Passive Mode"), "1");
    EXPECT_EQ(home.settings.size(), 4u);  // Account Name, Passive Mode, Replyto, Email
    EXPECT_EQ(home.left_out, (std::vector<std::string>{"Incoming Password", "SMTP Passwd", "secret",
                                                       "Outgoing Pass"}));
    EXPECT_EQ(read.left_out.front(), "Accounts: Master Password");
    EXPECT_EQ(read.accounts[1].number, 7);
    for (const auto& account : read.accounts)
        for (const auto& [key, value] : account.settings)
            EXPECT_EQ(value.find('p'), std::string::npos) << key;

    const std::vector<model::MailView> views = ReadOperaMailViews(
        "[Index 1]\nName=Unread\nId=1\n[Index 2]\nName=Todo\nId=200000001\nKeyword=$Label4\n"
        "[Index 3]\nName=Bills\nId=200000002\nSearch Text=invoice\nSearch Text 2=bill\n"
        "[Index 4]\nName=Sent\nId=700000016\nAccount Id=1\nSearch Text=[Gmail]/Sent\n"
        "[Index 5]\nName=alycolas@gmail.com\nId=1000000001\n[Category 0]\nid=1600000000\n");
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0].kind, model::MailView::Kind::kLabel);
    EXPECT_EQ(views[1].kind, model::MailView::Kind::kFilter);
    EXPECT_EQ(views[1].rules, (std::vector<std::string>{"invoice", "bill"}));
    EXPECT_EQ(views[2].kind, model::MailView::Kind::kImapFolder);
    EXPECT_EQ(views[2].account, 1);
}

}  // namespace
}  // namespace quarvo::formats
