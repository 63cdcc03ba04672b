// SPDX-License-Identifier: MIT
// Large files are converted in two parts side by side. Wherever the text is
// cut, the parts must give the very bytes, counts and progress steps of the
// whole, and every step must reach the caller on the caller's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/side_by_side.h"
#include "formats/opera_contacts_reader.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/text_search.h"
#include "temp_folder.h"

#ifdef __GLIBC__
#include <pthread.h>
#endif
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#define QUARVO_MEASURE_CHILD_MEMORY 1
#endif

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

// Texts whose entry boundaries are easy to get wrong: entries without their
// end, stray ends between entries, runs of empty lines, markers at the very
// start and end, keys cut by an entry's end, LF or CR line ends, and files
// that mix them with CR LF.
const std::vector<std::string> kContactTexts = {
    "#CONTACT\r\n\tNAME=A\r\n\tICON=x\r\n\r\n#CONTACT\r\n\tNAME=B\r\n\tMAIL=b@x\x02\x02"
    "c@x\r\n\tICON=y\r\n\r\n#CONTACT\r\n\tNAME=C \"q\"\r\n\tICON=z\r\n",
    "ICON=#CONTACTNAME=aICON=ICON=ICON=#CONTACT\tNAME=b\r\n#CONTACT\tNAME=c\r\nICON=d#CONTACT",
    "#CONTACT\r\n\tNAME=no end\r\n\r\nICON=stray\r\n#CONTACT\r\n\tURL=u\r\n\tICON=\r\n\r\n"
    "#FOLDER\r\n\tNAME=f\r\n\tICON=f\r\n\r\n#CONTACT\r\n\tSHORT NAME=s\r\n\tPICTUREURL=p\r\n",
    "#CONTACT\n\tNAME=lf\n\tDESCRIPTION=a\x02\x02\x02\x62\n\tICON=1\n\n#CONTACT\n\tNAME=two\n"
    "\tICON=2\n\n#CONTACT\n\tACTIVE=YES\n",
    "#CONTACTNAME=ICON=#CONTACTICON=#CONTACT\r\nMAIL=\x02\x02\r\nICON",
    "#CONTACT\n\tNAME=lf\n\tICON=1\n\n#CONTACT\r\n\tNAME=a\nb\r\n\tICON=2\r\n#CONTACT\rNAME=c\r",
    "#CONTACT\r\tNAME=cr\r\tMAIL=m\x02\x02n\r\tICON=1\r\r#CONTACT\r\tNAME=d\r",
    "#CONTACT\r\n\tNAME=a\r\n#CONTACT\r\n\tNAME=b #CONTACT\r\n\r\n#FOLDER\r\n\tNAME=f\r\n"
    "#CONTACT\r\n\tNAME=c\r\n\tICON=x\r\n#CONTACT\r\n#CONTACT\r\n#\r\n#CONTACT#CONTACT\r\n#",
    "#CONTACT\n\tNAME=a\n#CONTACT\n\tNAME=b\n\tICON=1\n#FOLDER\n\tNAME=f\n#CONTACT\n\tURL=u\n",
};

const std::vector<std::string> kHotlistTexts = {
    "Opera Hotlist version 2.0\r\nOptions: encoding = utf8\r\n\r\n#FOLDER\r\n\tNAME=F\r\n\t"
    "CREATED=1\r\n\r\n#URL\r\n\tNAME=a & b\r\n\tURL=http://a/?x=1\r\n\tVISITED=2\r\n\r\n"
    "#SEPERATOR\r\n\r\n-\r\n\r\n#URL\r\n\tNAME=<last>\r\n\tURL=u\r\n",
    "\r\n\r\n\r\n\r\n\r\n#URL\r\n\tURL=a\r\n\r\n\r\n\r\n\r\n\r\n#URL\tURL=b\r\n\r\n-\r\n\r\n\r\n"
    "-\r\n\r\n#FOLDER#URL#SEPERATOR\r\n\tNAME=all\r\n\r\n\r\n",
    "#URL\n\tNAME=lf\n\tURL=http://l/\n\n#FOLDER\n\tNAME=f\n\n-\n\n\n#URL\n\tURL=end\n",
    "#URL\r\n\tURL=a\r\n\r\n#URL\r\n\tNAME=b\r\n\r\nOpera Hotlist version 3.0\r\n\r\n#URL\r\n",
    "#URL\r\n\tNAME=x\r\r\n\r\n\r\r\n\r\n#URL\r\n\tNAME=Opera Hotlist version 2.0\r\n\r\n-",
    "#URL\n\tURL=lf\n\n#URL\r\n\tNAME=a\n\nb\r\n\tURL=u\r\n\r\n#FOLDER\n\n-\r\n\r\n#URL\rURL=v",
    "#FOLDER\r\tNAME=cr\r\r#URL\r\tURL=a\r\r-\r\r\r#URL\r\tURL=b\r",
};

TEST(CutConversion, ContactsGiveTheRecordsAndStepsOfTheWholeWhereverCut) {
    for (const std::string& text : kContactTexts) {
        int whole_steps = 0;
        const ContactsConversion whole = ConvertContactsText(text, [&] { ++whole_steps; });
        for (std::size_t near = 0; near <= text.size(); ++near) {
            int steps = 0;
            const ContactsConversion cut =
                detail::ConvertContactsTextCutNear(text, near, [&] { ++steps; });
            ASSERT_EQ(cut.csv, whole.csv) << "cut near " << near << " of " << text;
            EXPECT_EQ(cut.named, whole.named) << near;
            EXPECT_EQ(steps, whole_steps) << "cut near " << near << " of " << text;
        }
    }
}

TEST(CutConversion, HotlistsGiveTheTextOfTheWholeWhereverCut) {
    for (const std::string& text : kHotlistTexts) {
        int whole_steps = 0;
        const auto whole = ConvertHotlistText(text, [&] { ++whole_steps; });
        for (std::size_t near = 0; near <= text.size(); ++near) {
            int steps = 0;
            const auto cut = detail::ConvertHotlistTextCutNear(text, near, [&] { ++steps; });
            ASSERT_EQ(cut.has_value(), whole.has_value()) << near;
            if (!whole) continue;  // steps before the refusal may differ
            ASSERT_EQ(cut->html, whole->html) << "cut near " << near << " of " << text;
            EXPECT_EQ(cut->bookmarks, whole->bookmarks) << near;
            EXPECT_EQ(steps, whole_steps) << "cut near " << near << " of " << text;
        }
    }
}

// Large enough to be converted side by side.
std::string ManyContacts() {
    std::string text;
    for (int i = 0; text.size() < (std::size_t{3} << 20); ++i) {
        text += "#CONTACT\r\n\tNAME=Person " + std::to_string(i) +
                "\r\n\tMAIL=p@x\x02\x02q@x\r\n\tPOSTALADDRESS=1 \"Main\"\x02\x02Town\r\n";
        if (i % 7 != 0) text += "\tICON=Contact0\r\n";  // some run into the next
        text += "\r\n";
    }
    return text;
}

std::string ManyBookmarks() {
    std::string text = "Opera Hotlist version 2.0\r\n\r\n";
    for (int i = 0; text.size() < (std::size_t{3} << 20); ++i) {
        text += i % 50 == 0 ? "#FOLDER\r\n\tNAME=F" + std::to_string(i) + "\r\n\r\n" : "";
        text += "#URL\r\n\tNAME=B&" + std::to_string(i) + "\r\n\tURL=http://x/" +
                std::to_string(i) + "\r\n\tCREATED=5\r\n\r\n";
        text += i % 50 == 49 ? "-\r\n\r\n\r\n" : "";
    }
    return text;
}

// Large enough to be converted side by side, and not one entry ended by
// its ICON line: the cut is made before a marker line.
std::string ContactsWithoutIcons() {
    std::string text;
    for (int i = 0; text.size() < (std::size_t{1} << 20); ++i)
        text += "#CONTACT\r\n\tNAME=P" + std::to_string(i) + "\r\n\tMAIL=p@x\r\n\r\n";
    return text;
}

TEST(CutConversion, LargeTextsAreCutAndStepOnlyOnTheCallersThread) {
    const std::thread::id caller = std::this_thread::get_id();
    const auto on_caller = [&](int& steps, bool& elsewhere) {
        return [&, caller] {
            ++steps;
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
        };
    };

    const std::string contacts = ManyContacts();
    const std::size_t never = contacts.size() + 1;
    int steps = 0, single_steps = 0;
    bool elsewhere = false, single_elsewhere = false;
    const ContactsConversion csv = ConvertContactsText(contacts, on_caller(steps, elsewhere));
    const ContactsConversion single = detail::ConvertContactsTextCutNear(
        contacts, never, on_caller(single_steps, single_elsewhere));
    EXPECT_EQ(csv.csv, single.csv);
    EXPECT_EQ(csv.named, single.named);
    EXPECT_GT(steps, 10000);
    EXPECT_EQ(steps, single_steps);
    EXPECT_FALSE(elsewhere);

    const std::string no_icons = ContactsWithoutIcons();
    const std::size_t middle = CutPoint(no_icons.size());
    const auto cut = formats::OperaContactsReader::FindCut(no_icons, middle);
    ASSERT_TRUE(cut) << "not converted side by side";
    EXPECT_EQ(no_icons.substr(cut->second_begin, 8), "#CONTACT");
    EXPECT_LT(cut->second_begin - middle, 64u);
    steps = single_steps = 0;
    const ContactsConversion without = ConvertContactsText(no_icons, on_caller(steps, elsewhere));
    EXPECT_EQ(without.csv, detail::ConvertContactsTextCutNear(no_icons, never).csv);
    EXPECT_EQ(without.named, CountOccurrences(no_icons, "#CONTACT"));
    EXPECT_EQ(steps, without.named);
    EXPECT_FALSE(elsewhere);

    const std::string hotlist = ManyBookmarks();
    steps = single_steps = 0;
    const auto html = ConvertHotlistText(hotlist, on_caller(steps, elsewhere));
    const auto single_html =
        detail::ConvertHotlistTextCutNear(hotlist, never, on_caller(single_steps, elsewhere));
    ASSERT_TRUE(html && single_html);
    EXPECT_EQ(html->html, single_html->html);
    EXPECT_EQ(html->bookmarks, single_html->bookmarks);
    EXPECT_EQ(steps, html->bookmarks);
    EXPECT_EQ(steps, single_steps);
    EXPECT_FALSE(elsewhere);

    // A version refused in the second half refuses the whole.
    EXPECT_FALSE(ConvertHotlistText(hotlist + "\r\n\r\nOpera Hotlist version 1.0\r\n"));
}

// Megabytes of text are compared without the line-by-line difference
// that EXPECT_EQ would work out.
void ExpectSameBytes(const std::string& actual, const std::string& expected) {
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
}

TEST(CutConversion, FilesHoldTheSameBytesAsTheConvertedText) {
    TempFolder folder;
    const std::string contacts = ManyContacts();
    PutBytes(folder.File("contacts.adr"), contacts);
    const ContactsConversion csv = ConvertContactsText(contacts);
    EXPECT_EQ(ConvertOperaContacts(folder.File("contacts.adr"), folder.File("c.csv")), csv.named);
    ExpectSameBytes(GetBytes(folder.File("c.csv")), csv.csv);

    const std::string hotlist = ManyBookmarks();
    PutBytes(folder.File("opera6.adr"), hotlist);
    const auto html = ConvertHotlistText(hotlist);
    ASSERT_TRUE(html);
    EXPECT_EQ(ConvertOperaBookmarks(folder.File("opera6.adr"), folder.File("b.htm")),
              html->bookmarks);
    ExpectSameBytes(GetBytes(folder.File("b.htm")), html->html);
}

TEST(CutConversion, ARefusalAfterBlocksWereWrittenLeavesTheOutputAsItWas) {
    TempFolder folder;
    const std::string out = folder.File("bookmark.htm");
    PutBytes(out, "previous");
    // Megabytes of bookmarks reach the new file before the refused version.
    PutBytes(folder.File("opera6.adr"), ManyBookmarks() + "\r\n\r\nOpera Hotlist version 9\r\n");
    int shown = 0;
    EXPECT_EQ(ConvertOperaBookmarks(folder.File("opera6.adr"), out, {},
                                    [&](std::string_view) { ++shown; }),
              kUnsupportedHotlistVersion);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(GetBytes(out), "previous");
    EXPECT_EQ(folder.EntryCount(), 2u) << "a temporary file was left behind";

    // The refusal is told even when the output could not have been written.
    EXPECT_EQ(ConvertOperaBookmarks(folder.File("opera6.adr"), folder.File("no/such/b.htm")),
              kUnsupportedHotlistVersion);
}

TEST(CutConversion, AnOutputThatCannotBeCreatedFailsOnlyAfterTheConversion) {
    TempFolder folder;
    PutBytes(folder.File("contacts.adr"), ManyContacts());
    PutBytes(folder.File("opera6.adr"), ManyBookmarks());
    int steps = 0;
    EXPECT_THROW((void)ConvertOperaContacts(folder.File("contacts.adr"), folder.File("no/c.csv"),
                                            [&] { ++steps; }),
                 EFCreateError);
    EXPECT_GT(steps, 10000);
    EXPECT_THROW((void)ConvertOperaBookmarks(folder.File("opera6.adr"), folder.path().string()),
                 EFCreateError);
    EXPECT_EQ(folder.EntryCount(), 2u);
}

// A file that holds CR LF keeps every other byte, wherever it is cut; one
// whose first half holds no line end and whose second half ends its lines
// in LF alone is converted as its CR LF twin, nothing of the first try
// having reached the file.
TEST(CutConversion, LineEndsAreJudgedOnTheWholeFile) {
    TempFolder folder;
    const std::string hotlist = ManyBookmarks() +
                                "#URL\r\n\tNAME=kept\r\n\tDESCRIPTION=a\n\nb\r\n\t"
                                "URL=http://kept/\r\n\tCREATED=7\r\n";
    const auto html = ConvertHotlistText(hotlist);
    ASSERT_TRUE(html);
    EXPECT_NE(html->html.find("<DT><A HREF=\"http://kept/\" ADD_DATE=\"7\""), std::string::npos);
    PutBytes(folder.File("opera6.adr"), hotlist);
    (void)ConvertOperaBookmarks(folder.File("opera6.adr"), folder.File("b.htm"));
    ExpectSameBytes(GetBytes(folder.File("b.htm")), html->html);

    std::string contacts, twin;
    while (contacts.size() < (std::size_t{3} << 19)) contacts += "#CONTACTNAME=\"ICON=";
    twin = contacts;
    for (int i = 0; contacts.size() < (std::size_t{5} << 19); ++i) {
        contacts += "#CONTACT\n\tNAME=" + std::to_string(i) + "\n\tICON=0\n\n";
        twin += "#CONTACT\r\n\tNAME=" + std::to_string(i) + "\r\n\tICON=0\r\n\r\n";
    }
    const ContactsConversion csv = ConvertContactsText(twin);
    ExpectSameBytes(ConvertContactsText(contacts).csv, csv.csv);
    PutBytes(folder.File("contacts.adr"), contacts);
    EXPECT_EQ(ConvertOperaContacts(folder.File("contacts.adr"), folder.File("c.csv")), csv.named);
    ExpectSameBytes(GetBytes(folder.File("c.csv")), csv.csv);
}

// Whether an empty line at the middle of a file separates entries depends
// on the two bytes before it, which the bytes read first must include.
TEST(CutConversion, AFileCutInARunOfEmptyLinesGivesTheTextOfTheWhole) {
    TempFolder folder;
    const std::string head = ManyBookmarks() + "-";
    for (std::size_t past : {std::size_t{3}, std::size_t{5}}) {
        // The middle falls `past` bytes after the "-", between two CR LF.
        SCOPED_TRACE(past);
        const std::size_t tail_size = head.size() + 2 * past - 12;
        std::string tail;
        while (tail.size() + 64 < tail_size) tail += "#URL\r\n\tURL=t\r\n\r\n";
        tail += "#URL\r\n\tNAME=";
        tail.append(tail_size - tail.size(), 'n');
        const std::string text = head + "\r\n\r\n\r\n\r\n\r\n" + tail;
        ASSERT_EQ(text.size() / 2, head.size() - 1 + past);
        // A file of the same size without the empty lines is converted
        // first, so that memory reused from it cannot hold them.
        PutBytes(folder.File("decoy.adr"), head + std::string(10, 'x') + tail);
        (void)ConvertOperaBookmarks(folder.File("decoy.adr"), folder.File("b.htm"));
        PutBytes(folder.File("opera6.adr"), text);
        (void)ConvertOperaBookmarks(folder.File("opera6.adr"), folder.File("b.htm"));
        ExpectSameBytes(GetBytes(folder.File("b.htm")), ConvertHotlistText(text)->html);
    }
}

TEST(CutConversion, AFailureOnTheSecondThreadReachesTheCaller) {
    std::atomic<bool> here_done{false};
    EXPECT_THROW(RunSideBySide([&] { here_done = true; },
                               [&] {
                                   while (!here_done) std::this_thread::yield();
                                   std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                   throw EReadError();
                               }),
                 EReadError);
}

#ifdef __GLIBC__
// Where no second thread can be started, both halves are converted on the
// caller's thread, even when the second half's text outgrows its input.
TEST(CutConversion, WithoutASecondThreadTheHalvesGiveTheSameBytes) {
    std::string hotlist = "Opera Hotlist version 2.0\r\n\r\n";
    while (hotlist.size() < (std::size_t{2} << 20))
        hotlist += "#URL\r\n\tNAME=" + std::string(60, '"') + "\r\n\tURL=u\r\n\r\n";
    const std::string contacts = ManyContacts();
    const auto html = ConvertHotlistText(hotlist);
    const ContactsConversion csv = ConvertContactsText(contacts);
    TempFolder folder;
    PutBytes(folder.File("opera6.adr"), hotlist);
    PutBytes(folder.File("contacts.adr"), contacts);

    // A thread's stack larger than any address space.
    pthread_attr_t saved, huge;
    ASSERT_EQ(pthread_getattr_default_np(&saved), 0);
    ASSERT_EQ(pthread_attr_init(&huge), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&huge, std::size_t{1} << 62), 0);
    ASSERT_EQ(pthread_setattr_default_np(&huge), 0);
    EXPECT_THROW(std::thread([] {}).join(), std::system_error);
    ExpectSameBytes(ConvertHotlistText(hotlist)->html, html->html);
    ExpectSameBytes(ConvertContactsText(contacts).csv, csv.csv);
    (void)ConvertOperaBookmarks(folder.File("opera6.adr"), folder.File("b.htm"));
    (void)ConvertOperaContacts(folder.File("contacts.adr"), folder.File("c.csv"));
    pthread_setattr_default_np(&saved);
    pthread_attr_destroy(&huge);
    pthread_attr_destroy(&saved);
    ExpectSameBytes(GetBytes(folder.File("b.htm")), html->html);
    ExpectSameBytes(GetBytes(folder.File("c.csv")), csv.csv);
}
#endif

#ifdef QUARVO_MEASURE_CHILD_MEMORY
// One giant value whose escaped text is six times its size: converted in a
// child process, whose peak memory stays within twice the input and a
// constant.
TEST(CutConversion, AGiantValueIsConvertedInBoundedMemory) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    constexpr std::size_t kValue = 16 * kMiB;
    TempFolder folder;
    const std::string in = folder.File("opera6.adr");
    PutBytes(in, "#URL\r\n\tNAME=" + std::string(kValue, '"') + "\r\n\tURL=u\r\n");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        try {
            _exit(ConvertOperaBookmarks(in, folder.File("b.htm")) == 1 ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_EQ(status, 0);
    const auto peak = static_cast<std::size_t>(usage.ru_maxrss) * 1024;
    EXPECT_LT(peak, 2 * kValue + 64 * kMiB) << peak / kMiB << " MiB";
}
#endif

}  // namespace
}  // namespace quarvo
