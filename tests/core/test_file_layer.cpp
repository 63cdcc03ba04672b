// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

template <typename Error, typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

// The message is `text` followed by ": " and the system's reason, whose
// wording each system has its own of.
::testing::AssertionResult TextAndReason(const std::string& message, const std::string& text) {
    if (message.starts_with(text + ": ") && message.size() > text.size() + 2)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << '"' << message << "\" is not \"" << text << ": <reason>\"";
}

TEST(ReadWholeFile, ReturnsTheBytesUnchanged) {
    TempFolder folder;
    const std::string name = folder.File("raw.adr");
    const std::string bytes("\xEF\xBB\xBFline\r\n\0zero\rlone CR\n\x02\x02", 25);
    PutBytes(name, bytes);
    EXPECT_EQ(ReadWholeFile(name), bytes);
    PutBytes(name, "");
    EXPECT_EQ(ReadWholeFile(name), "");
}

TEST(ReadWholeFile, MissingFileOrFolderCannotBeOpened) {
    TempFolder folder;
    const std::string missing = folder.File("missing.adr");
    EXPECT_TRUE(TextAndReason(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(missing); }),
                              "Cannot open file " + missing));
    const std::string dir = folder.path().string();
    EXPECT_TRUE(TextAndReason(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(dir); }),
                              "Cannot open file " + dir));
}

TEST(FileReading, ReadsAnyPartsOfAFileButNothingPastItsEnd) {
    TempFolder folder;
    const std::string name = folder.File("in.adr");
    PutBytes(name, std::string("first\0second", 12));
    FileReading file(name);
    ASSERT_EQ(file.size(), 12u);
    std::string text(12, '?');
    file.ReadAt(6, text.data() + 6, 6);
    file.ReadAt(5, text.data() + 5, 0);
    file.ReadAt(0, text.data(), 6);
    EXPECT_EQ(text, std::string("first\0second", 12));
    char more[2] = {};
    EXPECT_THROW(file.ReadAt(11, more, 2), EReadError);
    EXPECT_THROW(FileReading(folder.File("missing.adr")), EFOpenError);
}

TEST(WriteWholeFile, CreatesAndReplacesWithExactlyTheText) {
    TempFolder folder;
    const std::string name = folder.File("out.csv");
    WriteWholeFile(name, std::string("a\0b\r\n", 5));
    EXPECT_EQ(GetBytes(name), std::string("a\0b\r\n", 5));
    WriteWholeFile(name, "shorter");
    EXPECT_EQ(GetBytes(name), "shorter");
    WriteWholeFile(name, "");
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(std::filesystem::file_size(name), 0u);
    EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary file was left behind";
}

// While a replacement is open, Windows lets nobody else open the file, so
// the file is looked at only before and after.
TEST(FileReplacement, TakesPiecesAndChangesNothingUntilCommitted) {
    TempFolder folder;
    const std::string name = folder.File("bookmark.htm");
    PutBytes(name, "old");
    {
        FileReplacement dropped(name);
        dropped.Write("never ");
        dropped.Write("kept");
    }
    EXPECT_EQ(GetBytes(name), "old");
    EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary file was left behind";

    FileReplacement replacement(name);
    replacement.Write("first ");
    replacement.Write("");
    replacement.Write(std::string_view("\0second", 7));
    replacement.Commit();
    EXPECT_EQ(GetBytes(name), std::string("first \0second", 13));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteWholeFile, FailsToCreateInAMissingFolderOrOverAFolder) {
    TempFolder folder;
    const std::string in_missing = folder.File("no-such-folder/out.csv");
    EXPECT_TRUE(TextAndReason(MessageOf<EFCreateError>([&] { WriteWholeFile(in_missing, "x"); }),
                              "Cannot create file " + in_missing));

    const std::string sub = folder.File("sub");
    std::filesystem::create_directory(sub);
    EXPECT_TRUE(TextAndReason(MessageOf<EFCreateError>([&] { WriteWholeFile(sub, "x"); }),
                              "Cannot create file " + sub));
    EXPECT_TRUE(std::filesystem::is_directory(sub));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FileErrors, FormAHierarchyUnderTheStreamError) {
    EXPECT_THROW(throw EReadError(), EFilerError);
    EXPECT_THROW(throw EWriteError(), EStreamError);
    EXPECT_THROW(throw EFOpenError("x"), Exception);
    EXPECT_STREQ(EReadError().what(), "Stream read error");
    EXPECT_STREQ(EWriteError().what(), "Stream write error");
}

TEST(PathExists, CountsFilesAndFolders) {
    TempFolder folder;
    const std::string file = folder.File("a.adr");
    PutBytes(file, "x");
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PlainFileExists(file));
    EXPECT_TRUE(PathExists(folder.path().string()));
    EXPECT_FALSE(PlainFileExists(folder.path().string()));
    EXPECT_FALSE(PathExists(folder.File("b.adr")));
    EXPECT_FALSE(PlainFileExists(folder.File("b.adr")));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(PlainFileExists(""));
}

}  // namespace
}  // namespace quarvo
