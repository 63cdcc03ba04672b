// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

// In a folder that holds c.adr, h.adr, a link to h.adr and a link to the
// missing new.x; every name is taken inside that folder, "-" for no job. A
// refusal names the two paths `same` and `as`.
TEST(ConversionRun, RefusesAnOutputThatIsAnInputOrTheOtherOutput) {
    const struct {
        const char *contacts_in, *contacts_out, *bookmarks_in, *bookmarks_out;
        const char *same, *as;  // empty when the run is allowed
    } cases[] = {
        {"-", "-", "h.adr", "h.adr", "h.adr", "h.adr"},
        {"c.adr", "sub/../c.adr", "-", "-", "sub/../c.adr", "c.adr"},
        {"c.adr", "h.adr", "h.adr", "out.htm", "h.adr", "h.adr"},
        {"c.adr", "h.adr", "h.adr", "c.adr", "h.adr", "h.adr"},
        {"c.adr", "out.x", "h.adr", "out.x", "out.x", "out.x"},
        {"c.adr", "new.x", "h.adr", "sub/./../new.x", "new.x", "sub/./../new.x"},
        {"c.adr", "gone.adr", "gone.adr", "b.htm", "gone.adr", "gone.adr"},
        {"c.adr", "c.csv", "h.adr", "b.htm", "", ""},
        {"h.adr", "c.csv", "h.adr", "b.htm", "", ""},
#ifndef _WIN32
        {"-", "-", "h.adr", "link-to-h.adr", "link-to-h.adr", "h.adr"},
        {"c.adr", "link-to-new.x", "h.adr", "new.x", "link-to-new.x", "new.x"},
        // The test folder's file system keeps case (test_case_blind_posix.cpp
        // has those that do not).
        {"c.adr", "Out.x", "h.adr", "out.x", "", ""},
#else
        {"c.adr", "Out.x", "h.adr", "out.x", "Out.x", "out.x"},
        {"c.adr", "H.ADR", "h.adr", "b.htm", "H.ADR", "h.adr"},
#endif
    };
    TempFolder folder;
    PutBytes(folder.File("c.adr"), "#CONTACT");
    PutBytes(folder.File("h.adr"), "#URL");
    std::filesystem::create_directory(folder.File("sub"));
#ifndef _WIN32
    std::filesystem::create_symlink("h.adr", folder.File("link-to-h.adr"));
    std::filesystem::create_symlink("new.x", folder.File("link-to-new.x"));
#endif
    const std::size_t entries = folder.EntryCount();
    const auto job = [&](const char* in, const char* out) -> std::optional<ConversionJob> {
        if (std::string_view(in) == "-") return std::nullopt;
        return ConversionJob{folder.File(in), folder.File(out)};
    };
    for (const auto& c : cases) {
        const ConversionRun run{job(c.contacts_in, c.contacts_out),
                                job(c.bookmarks_in, c.bookmarks_out), std::nullopt};
        const std::string title = std::string(c.contacts_out) + " " + c.bookmarks_out;
        try {
            CheckConversionRun(run);
            EXPECT_EQ(*c.same, '\0') << title << " was not refused";
        } catch (const ESameFileError& error) {
            const std::string message = error.what();
            EXPECT_NE(*c.same, '\0') << title << " was refused: " << message;
            EXPECT_NE(message.find(folder.File(c.same)), std::string::npos) << message;
            EXPECT_NE(message.find(folder.File(c.as)), std::string::npos) << message;
        }
    }
    EXPECT_EQ(folder.EntryCount(), entries) << "the check writes nothing";
}

// A folder output is replaced as a whole: it may hold no input and no
// other output. In a folder that holds c.adr, sub/n.adr and a link to sub;
// the notes output is a folder, the contacts output a file ("-": none).
TEST(ConversionRun, RefusesAFolderOutputThatHoldsAnotherName) {
    const struct {
        const char *notes_in, *notes_out, *contacts_out;
        const char *same, *as;  // empty when the run is allowed
    } cases[] = {
        {"sub/n.adr", "sub", "-", "sub", "sub/n.adr"},
        {"sub/n.adr", ".", "-", ".", "sub/n.adr"},
        {"sub/n.adr", "sub/..", "-", "sub/..", "sub/n.adr"},
        {"sub/n.adr", "sub/n.adr", "-", "sub/n.adr", "sub/n.adr"},
        {"c.adr", "sub", "sub/c.csv", "sub", "sub/c.csv"},
        {"c.adr", "sub", "-", "", ""},
        {"sub/n.adr", "new", "new/c.csv", "", ""},  // a new folder holds nothing yet
        {"sub/n.adr", "sub/new", "-", "", ""},
#ifndef _WIN32
        {"sub/n.adr", "link-to-sub", "-", "link-to-sub", "sub/n.adr"},
        {"link-to-sub/n.adr", "sub", "-", "sub", "link-to-sub/n.adr"},
#endif
    };
    TempFolder folder;
    PutBytes(folder.File("c.adr"), "#CONTACT");
    std::filesystem::create_directory(folder.File("sub"));
    PutBytes(folder.File("sub/n.adr"), "#NOTE");
#ifndef _WIN32
    std::filesystem::create_directory_symlink("sub", folder.File("link-to-sub"));
#endif
    for (const auto& c : cases) {
        ConversionRun run;
        run.notes = ConversionJob{folder.File(c.notes_in), folder.File(c.notes_out), true};
        if (std::string_view(c.contacts_out) != "-")
            run.contacts = ConversionJob{folder.File("c.adr"), folder.File(c.contacts_out)};
        const std::string title = std::string(c.notes_in) + " -> " + c.notes_out;
        try {
            CheckConversionRun(run);
            EXPECT_EQ(*c.same, '\0') << title << " was not refused";
        } catch (const ESameFileError& error) {
            const std::string message = error.what();
            EXPECT_NE(*c.same, '\0') << title << " was refused: " << message;
            EXPECT_NE(message.find("Output folder " + folder.File(c.same)), std::string::npos)
                << message;
            EXPECT_NE(message.find(folder.File(c.as)), std::string::npos) << message;
        }
    }
}

TEST(ConversionRun, AMissingInputWritesNothingAndCountsZero) {
    TempFolder folder;
    PutBytes(folder.File("old.csv"), "old csv");
    PutBytes(folder.File("old.htm"), "old htm");
    const ConversionJob contacts{folder.File("gone.adr"), folder.File("old.csv")};
    const ConversionJob bookmarks{folder.File("gone.adr"), folder.File("old.htm")};
    for (const ConversionOutcome& outcome :
         {RunContactsConversion(contacts), RunBookmarksConversion(bookmarks)}) {
        EXPECT_TRUE(outcome.input_missing);
        EXPECT_EQ(outcome.count, 0);
    }
    EXPECT_EQ(GetBytes(folder.File("old.csv")), "old csv");
    EXPECT_EQ(GetBytes(folder.File("old.htm")), "old htm");

    PutBytes(folder.File("gone.adr"), "#CONTACT\r\n\tNAME=A\r\n\tICON=x\r\n\r\n#URL\r\n");
    EXPECT_EQ(RunContactsConversion(contacts).count, 1);
    const ConversionOutcome converted = RunBookmarksConversion(bookmarks);
    EXPECT_FALSE(converted.input_missing);
    EXPECT_EQ(converted.count, 1);
    EXPECT_TRUE(GetBytes(folder.File("old.htm")).starts_with(kBookmarkPrologue));
}

}  // namespace
}  // namespace quarvo
