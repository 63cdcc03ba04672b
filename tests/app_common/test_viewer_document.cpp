// SPDX-License-Identifier: MIT
// The file viewer's decisions with a stand-in window and desktop: the
// caption, what a showing loads and backs up, and which writes Save and
// Save as refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "quarvo/errors.h"
#include "quarvo/file_layer.h"
#include "temp_folder.h"
#include "viewer_document.h"

namespace {

using quarvo::testing::GetBytes;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;
namespace fs = std::filesystem;

// The editor holds the file's bytes as they came; the desktop answers as set.
class StandIn : public quarvo::ViewerView, public quarvo::Desktop {
  public:
    std::string caption;
    std::string text;
    std::size_t unencodable = 0;
    std::vector<std::string> asked;
    bool answer = false;
    std::optional<std::string> chosen;

    void SetCaption(const std::string& c) override { caption = c; }
    void SetText(std::string_view bytes) override { text = bytes; }
    quarvo::EncodedText Text() const override { return {text, unencodable, U'\u4E2D'}; }
    std::unique_ptr<quarvo::BusyIndicator> ShowBusy(const std::string&, int) override {
        struct Quiet : quarvo::BusyIndicator {
            void Step() override {}
        };
        return std::make_unique<Quiet>();
    }
    void ShowMessage(std::string_view) override {}
    void ReportError(std::string_view) override {}
    bool AskToSaveAnyway(std::string_view question) override {
        asked.emplace_back(question);
        return answer;
    }
    std::optional<std::string> AskSaveFileName(const std::string&) override { return chosen; }
    void OpenLink(const std::string&) override {}
    std::string LookUpFolder(std::uint8_t) override { return {}; }
};

class ViewerDocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_directory_ = fs::current_path();
        fs::current_path(folder_.path());
    }
    void TearDown() override { fs::current_path(saved_directory_); }

    TempFolder folder_;
    fs::path saved_directory_;
    StandIn window_;
    quarvo::ViewerDocument document_{window_, window_};
};

TEST_F(ViewerDocumentTest, CaptionShowsThePartAfterTheLastSeparator) {
    const std::string sep(1, quarvo::kPathSeparator);
    const struct {
        std::string viewed;
        const char* caption;
    } cases[] = {
        {"", "Quarvo - []"},
        {"contacts.adr", "Quarvo - []"},
        {sep + "Program Files" + sep + "Opera" + sep + "profile" + sep + "contacts.adr",
         "Quarvo - [contacts.adr]"},
        {folder_.File("opera6.adr"), "Quarvo - [opera6.adr]"},
        {sep + "ends" + sep + "in" + sep, "Quarvo - []"},
    };
    for (const auto& c : cases) {
        document_.Show(c.viewed);
        EXPECT_EQ(window_.caption, c.caption) << c.viewed;
    }
}

TEST_F(ViewerDocumentTest, ShowingLoadsAndBacksUpTheBytesAndANameThatIsNoFileEmptiesTheEditor) {
    const std::string bytes("NAME=Ren\xE9\0\tx\n", 13);
    PutBytes(folder_.File("contacts.adr"), bytes);
    document_.Show(folder_.File("contacts.adr"));
    EXPECT_EQ(window_.text, bytes);
    EXPECT_EQ(GetBytes(quarvo::ViewerDocument::kBackupFileName), bytes);

    fs::remove(quarvo::ViewerDocument::kBackupFileName);
    document_.Show(folder_.path().string());
    EXPECT_EQ(window_.text, "");
    EXPECT_FALSE(fs::exists(quarvo::ViewerDocument::kBackupFileName));
    document_.Save(folder_.path().string());  // a folder is never written
    EXPECT_THROW(document_.Reload(folder_.File("missing.adr")), quarvo::EFOpenError);
}

TEST_F(ViewerDocumentTest, SaveNeverBlanksOrCreatesAndAsksBeforeLosingCharacters) {
    PutBytes(folder_.File("a.adr"), "old");
    window_.text = "";
    document_.Save(folder_.File("a.adr"));
    document_.Save(folder_.File("new.adr"));
    EXPECT_EQ(GetBytes(folder_.File("a.adr")), "old");
    EXPECT_FALSE(fs::exists(folder_.File("new.adr")));

    window_.chosen = folder_.File("new.adr");
    document_.SaveAs(folder_.File("a.adr"));
    EXPECT_TRUE(fs::exists(folder_.File("new.adr"))) << "Save as writes an empty text too";

    window_.text = "NAME=?\r\n";
    window_.unencodable = 1;
    document_.Save(folder_.File("a.adr"));
    EXPECT_EQ(GetBytes(folder_.File("a.adr")), "old") << "cancelled";
    ASSERT_EQ(window_.asked.size(), 1u);
    EXPECT_EQ(window_.asked[0],
              "This file is kept one byte per character (Windows-1252), which has no byte for 1 "
              "of the characters in the text, the first being \"\xE4\xB8\xAD\" (U+4E2D).\n\n"
              "Each of them would be saved as \"?\". Save anyway?");
    window_.answer = true;
    document_.Save(folder_.File("a.adr"));
    EXPECT_EQ(GetBytes(folder_.File("a.adr")), "NAME=?\r\n");
}

}  // namespace
