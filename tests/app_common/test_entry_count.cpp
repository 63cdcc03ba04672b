// SPDX-License-Identifier: MIT
// The main window's count of an Opera file read in parts: the same figure as
// a count over the whole text wherever the parts are cut, and an early end
// when it is cancelled.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "entry_count.h"
#include "quarvo/text/text_search.h"
#include "temp_folder.h"

namespace {

using quarvo::CountEntries;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;

TEST(EntryCountTest, PartsCountAsTheWholeTextWhereverTheyAreCut) {
    const std::string hotlist =
        "Opera Hotlist version 2.0\r\n\r\n#FOLDER\r\n\tNAME=A\r\n\r\n#URL\r\n\tNAME=#URL\r\n"
        "#URL#URL\r\n-\r\n#CONTACT\r\n#URL";  // ends in a marker, with no break after it
    const struct {
        std::string text;
        const char* marker;
    } cases[] = {
        {hotlist, "#URL"},         {hotlist, "#CONTACT"},
        {hotlist + "#UR", "#URL"},  // a marker's start at the end is none
        {"#URL", "#URL"},          {"", "#URL"},
    };
    const TempFolder folder;
    const std::atomic<bool> running{false};
    for (const auto& c : cases) {
        PutBytes(folder.File("opera6.adr"), c.text);
        const std::int32_t whole = quarvo::CountOccurrences(c.text, c.marker);
        // Every part size up to a whole text moves the cuts over every marker.
        for (std::size_t part = 1; part <= c.text.size() + 1; ++part) {
            const quarvo::EntryCount counted =
                CountEntries(folder.File("opera6.adr"), c.marker, running, part);
            EXPECT_TRUE(counted.readable);
            EXPECT_FALSE(counted.error);
            EXPECT_EQ(counted.count, whole) << c.marker << " in parts of " << part;
        }
    }
}

TEST(EntryCountTest, NoPlainFileCountsNothingWithoutAnErrorAndCancelledEndsEarly) {
    const TempFolder folder;
    const std::atomic<bool> running{false};
    for (const std::string& name :
         {folder.path().string(), folder.File("missing.adr"), std::string()}) {
        const quarvo::EntryCount counted = CountEntries(name, "#URL", running);
        EXPECT_FALSE(counted.readable) << name;
        EXPECT_FALSE(counted.error) << name;
        EXPECT_EQ(counted.count, 0) << name;
    }
    PutBytes(folder.File("opera6.adr"), "#URL\r\n#URL\r\n");
    const std::atomic<bool> cancelled{true};
    const quarvo::EntryCount counted =
        CountEntries(folder.File("opera6.adr"), "#URL", cancelled, 4);
    EXPECT_TRUE(counted.cancelled);
    EXPECT_FALSE(counted.readable);
    EXPECT_EQ(counted.count, 0);
}

}  // namespace
