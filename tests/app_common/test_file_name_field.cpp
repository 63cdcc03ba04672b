// SPDX-License-Identifier: MIT
// What a file-name field shows for a name and which name its text gives back.
#include <gtest/gtest.h>

#include "file_name_field.h"
#include "quarvo/base/errors.h"

namespace {

struct FieldCase {
    const char* name;
    const char* shown;
};

TEST(FileNameField, QuotesANameWithABlankAndGivesItBackWithout) {
    for (const FieldCase& c :
         {FieldCase{"", ""}, FieldCase{"C:\\a\\b.adr", "C:\\a\\b.adr"},
          FieldCase{"C:\\Program Files\\x.adr", "\"C:\\Program Files\\x.adr\""}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quarvo::FieldTextForFileName(c.name), c.shown);
        EXPECT_EQ(quarvo::FileNameFromFieldText(c.shown), c.name);
    }
    // A typed text loses a quote at either end, even an unmatched one.
    EXPECT_EQ(quarvo::FileNameFromFieldText("\"C:\\a b"), "C:\\a b");
    EXPECT_EQ(quarvo::FileNameFromFieldText("\""), "");
}

#ifdef _WIN32
TEST(FileNameField, RefusesANameNoWindowsFileCanHave) {
    EXPECT_THROW((void)quarvo::FieldTextForFileName("C:\\a?.adr"), quarvo::Exception);
}
#endif

}  // namespace
