// SPDX-License-Identifier: MIT
// The file viewer's decisions with a stand-in window and desktop: the
// caption, what a showing loads and backs up, which writes Save and Save as
// refuse, when changes are asked about, and that a file shown and saved
// through the editors' text conversions comes back byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/viewer/viewer_text.h"
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
    bool modified = false;
    std::vector<std::string> asked;
    std::vector<std::string> told;
    bool answer = false;
    quarvo::SaveChoice save_choice = quarvo::SaveChoice::Cancel;
    std::optional<std::string> chosen;

    void SetCaption(const std::string& c) override { caption = c; }
    void SetText(std::string_view bytes, quarvo::BusyIndicator*) override {
        text = bytes;
        modified = false;
    }
    quarvo::EncodedText Text() const override { return {text, unencodable, U'\u4E2D'}; }
    bool Modified() const override { return modified; }
    void MarkSaved() override { modified = false; }
    std::unique_ptr<quarvo::BusyIndicator> ShowBusy(const std::string&, int) override {
        struct Quiet : quarvo::BusyIndicator {
            void Step() override {}
        };
        return std::make_unique<Quiet>();
    }
    void ShowMessage(std::string_view text) override { told.emplace_back(text); }
    void ShowReport(std::string_view, std::string_view) override {}
    void ReportError(std::string_view) override {}
    bool AskToSaveAnyway(std::string_view question) override {
        asked.emplace_back(question);
        return answer;
    }
    bool AskToReplace(std::string_view) override { return false; }
    quarvo::SaveChoice AskToSaveChanges(std::string_view question) override {
        asked.emplace_back(question);
        return save_choice;
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

// Unsaved changes are never dropped without a question, and each answer
// does what it says; a name that is no file gets Save as.
TEST_F(ViewerDocumentTest, ChangesAreAskedAboutBeforeClosingOrReloading) {
    using quarvo::SaveChoice;
    const std::string name = folder_.File("contacts.adr");
    PutBytes(name, "on disk");
    document_.Show(name);
    EXPECT_TRUE(document_.MayClose(name)) << "nothing to ask about";
    EXPECT_TRUE(window_.asked.empty());

    const struct {
        SaveChoice answer;
        bool closes;
        const char* on_disk;
    } cases[] = {
        {SaveChoice::Cancel, false, "on disk"},
        {SaveChoice::Discard, true, "on disk"},
        {SaveChoice::Save, true, "edited"},
    };
    for (const auto& c : cases) {
        PutBytes(name, "on disk");
        window_.text = "edited";
        window_.modified = true;
        window_.save_choice = c.answer;
        window_.asked.clear();
        EXPECT_EQ(document_.MayClose(name), c.closes);
        EXPECT_EQ(window_.asked,
                  std::vector<std::string>{"Do you want to save the changes to contacts.adr?"});
        EXPECT_EQ(GetBytes(name), c.on_disk);
    }
    EXPECT_FALSE(window_.modified) << "saved";

    // Reload asks too, and Cancel keeps the text.
    window_.text = "edited again";
    window_.modified = true;
    window_.save_choice = SaveChoice::Cancel;
    document_.Reload(name);
    EXPECT_EQ(window_.text, "edited again");
    EXPECT_EQ(window_.asked.back(),
              "Do you want to save the changes to contacts.adr before loading it again?");
    window_.save_choice = SaveChoice::Discard;
    document_.Reload(name);
    EXPECT_EQ(window_.text, "edited");

    // Save of an emptied text does not blank the file, and says so.
    window_.text = "";
    window_.modified = true;
    window_.save_choice = SaveChoice::Save;
    EXPECT_FALSE(document_.MayClose(name));
    EXPECT_EQ(GetBytes(name), "edited");
    EXPECT_EQ(window_.told, std::vector<std::string>{quarvo::EmptyTextMessage(name)});

    // Text typed for a name that is no file goes where the user says.
    window_.text = "typed";
    window_.modified = true;
    window_.chosen.reset();
    EXPECT_FALSE(document_.MayClose(folder_.File("missing.adr"))) << "Save as cancelled";
    EXPECT_EQ(window_.asked.back(), "Do you want to save the changes?");
    window_.chosen = folder_.File("chosen.adr");
    EXPECT_TRUE(document_.MayClose(folder_.File("missing.adr")));
    EXPECT_EQ(GetBytes(folder_.File("chosen.adr")), "typed");
    EXPECT_FALSE(fs::exists(folder_.File("missing.adr")));
}

// A view that does what both editors do with a file: fill itself piece by
// piece with the editor's text and give the bytes back from it.
class EditorLike : public StandIn {
  public:
    void SetText(std::string_view bytes, quarvo::BusyIndicator* busy) override {
        encoding_ = quarvo::ChooseEncoding(bytes);
        text.clear();
        quarvo::ForEachEditorPiece(bytes, encoding_, [&](std::string_view piece) {
            text += piece;
            if (busy) busy->Step();
        });
    }
    quarvo::EncodedText Text() const override { return quarvo::FromEditorText(text, encoding_); }

  private:
    quarvo::TextEncoding encoding_ = quarvo::TextEncoding::Utf8;
};

// The viewer's promise on the real Opera files: shown and saved without an
// edit, each file keeps every byte, tabs and line breaks included; an edit
// on one line changes that line alone.
TEST_F(ViewerDocumentTest, RealOperaFilesComeBackByteForByteFromTheEditorsText) {
    const fs::path corpus(QUARVO_CORPUS_DIR);
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no Opera files at " << corpus;
    EditorLike editor;
    quarvo::ViewerDocument document(editor, editor);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".adr") continue;
        SCOPED_TRACE(entry.path().string());
        const std::string original = GetBytes(entry.path().string());
        const std::string name = folder_.File(entry.path().filename().string());
        PutBytes(name, original);
        document.Show(name);
        EXPECT_TRUE(document.Save(name) || original.empty());
        EXPECT_EQ(GetBytes(name), original);

        // An edit at the start of the second line, as typed.
        const std::size_t second = editor.text.find('\n');
        if (second == std::string::npos) continue;
        editor.text.insert(second + 1, "x");
        EXPECT_TRUE(document.Save(name));
        std::string expected = original;
        expected.insert(original.find('\n') + 1, "x");
        EXPECT_EQ(GetBytes(name), expected);
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
