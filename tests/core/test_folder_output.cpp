// SPDX-License-Identifier: MIT
// Folder outputs on every system: the new folder appears whole or not at
// all, and a folder of the user's is never mixed with or lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "quarvo/base/errors.h"
#include "quarvo/files/folder_output.h"
#include "temp_folder.h"

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::GetBytes;
using testing::PutBytes;
using testing::TempFolder;

// Writes a small tree into `output`: a file, a folder, a file in it, a name
// in UTF-8.
void WriteTree(FolderOutput& output) {
    output.WriteFile("a.md", "first");
    output.MakeFolder("sub");
    FolderOutput::File file = output.NewFile("sub/b.md");
    file.Write("sec");
    file.Write("ond");
    file.Close();
    output.WriteFile("M\xC3\xBCnchen.md", "u");
}

std::string Names(const fs::path& folder) {
    std::string names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names += entry.path().lexically_relative(folder).generic_string() + " ";
    return names;
}

enum class Before { kMissing, kEmptyFolder, kFolderWithFiles, kFile };

struct TargetCase {
    const char* what;
    Before before;
    bool replace;
    bool written;  // else refused when the output is made, the target as it was
};

class FolderOutputTargets : public ::testing::TestWithParam<TargetCase> {};

TEST_P(FolderOutputTargets, TheNewFolderTakesThePlaceWholeOrTheTargetStaysAsItWas) {
    const TargetCase& c = GetParam();
    TempFolder folder;
    const std::string target = folder.File("notes");
    if (c.before == Before::kEmptyFolder || c.before == Before::kFolderWithFiles)
        fs::create_directory(target);
    if (c.before == Before::kFolderWithFiles) PutBytes(folder.File("notes/mine.txt"), "mine");
    if (c.before == Before::kFile) PutBytes(target, "a file");

    std::optional<FolderOutput> output;
    if (!c.written) {
        EXPECT_THROW(output.emplace(target, c.replace), EFCreateError) << c.what;
        EXPECT_EQ(c.before == Before::kFile ? GetBytes(target) : GetBytes(target + "/mine.txt"),
                  c.before == Before::kFile ? "a file" : "mine");
        EXPECT_EQ(folder.EntryCount(), 1u) << c.what;
        return;
    }
    output.emplace(target, c.replace);
    WriteTree(*output);
    // Nothing new shows at the target before the commit.
    EXPECT_EQ(fs::exists(target + "/a.md"), false) << c.what;
    output->Commit();
    output.reset();

    EXPECT_EQ(GetBytes(target + "/a.md"), "first") << c.what;
    EXPECT_EQ(GetBytes(target + "/sub/b.md"), "second") << c.what;
    EXPECT_TRUE(fs::exists(fs::path(target) / fs::u8path("M\xC3\xBCnchen.md"))) << c.what;
    EXPECT_FALSE(fs::exists(target + "/mine.txt")) << c.what;
    EXPECT_EQ(folder.EntryCount(), 1u) << c.what << ": something was left beside the target";
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FolderOutputTargets,
    ::testing::Values(TargetCase{"a new folder", Before::kMissing, false, true},
                      TargetCase{"an empty folder", Before::kEmptyFolder, false, true},
                      TargetCase{"a folder with files", Before::kFolderWithFiles, false, false},
                      TargetCase{"a folder with files, replaced", Before::kFolderWithFiles, true,
                                 true},
                      TargetCase{"a file", Before::kFile, true, false}));

TEST(FolderOutput, DroppedWithoutCommitItLeavesNothing) {
    TempFolder folder;
    {
        FolderOutput output(folder.File("out"), false);
        WriteTree(output);
    }
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(FolderOutput, NamesOutsideTheFolderAreRefused) {
    TempFolder folder;
    FolderOutput output(folder.File("out"), false);
    for (const char* name : {"../escape", "/absolute", "a//b", "sub/../../x", "", "trailing/"}) {
        EXPECT_THROW(output.WriteFile(name, "x"), EFCreateError) << name;
    }
    output.Commit();
    EXPECT_EQ(Names(folder.path()), "out ");
}

}  // namespace
}  // namespace quarvo
