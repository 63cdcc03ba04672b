// SPDX-License-Identifier: MIT
// The file viewer against real files in a scratch folder: what each showing
// loads and backs up, what Save, Save as and Reload write or refuse to
// write, and that no byte of a file the user did not edit is lost.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "../support/temp_folder.h"
#include "app_globals.h"
#include "quarvo/errors.h"
#include "quarvo/file_layer.h"
#include "quarvo/file_seam.h"
#include "recording_desktop.h"
#include "text_editor.h"
#include "uFileViewer.h"

namespace {

using quarvo::testing::GetBytes;
using quarvo::testing::PutBytes;
using quarvo::testing::TempFolder;
namespace fs = std::filesystem;

constexpr const char* kBackup = "QuarvoFileViewerBackup.txt";

class FileViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_directory_ = fs::current_path();
        fs::current_path(folder_.path());
        ViewedFileName.clear();
        desktop_.on_error = [this](const QString& message) { reported_ << message; };
        editor_ = viewer_.findChild<quarvo::TextEditor*>(QStringLiteral("jmeFile"));
        ASSERT_NE(editor_, nullptr);
    }
    void TearDown() override {
        quarvo::file_seam::Reset();
        viewer_.hide();
        fs::current_path(saved_directory_);
    }

    // Shows the viewer the way the main window does, up to the point where
    // its activation has run.
    void Show(const std::string& viewed_name) {
        ViewedFileName = viewed_name;
        viewer_.show();
        QCoreApplication::processEvents();
    }
    void Close() { Button("tbClose")->click(); }

    QToolButton* Button(const char* name) {
        auto* button = viewer_.findChild<QToolButton*>(QLatin1String(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }

    // Runs Save as, answering its dialog with `chosen`, or cancelling it
    // when `chosen` is empty. Returns the name the dialog offered.
    QString SaveAs(const std::string& chosen) {
        QString offered;
        desktop_.on_save_name = [&](const std::string& suggested) -> std::optional<std::string> {
            offered = QString::fromStdString(suggested);
            if (chosen.empty()) return std::nullopt;
            return chosen;
        };
        Button("tbSaveAs")->click();
        desktop_.on_save_name = nullptr;
        return offered;
    }

    bool BackupExists() const { return fs::exists(folder_.path() / kBackup); }
    std::string Backup() const { return GetBytes((folder_.path() / kBackup).string()); }

    TempFolder folder_;
    fs::path saved_directory_;
    RecordingDesktop desktop_;
    TfFileViewer viewer_{desktop_};
    quarvo::TextEditor* editor_ = nullptr;
    QStringList reported_;
};

TEST_F(FileViewerTest, CaptionShowsThePartAfterTheLastSeparator) {
    // The rule's cases are with the viewer's logic; here, that it reaches the title.
    EXPECT_EQ(viewer_.windowTitle(), QStringLiteral("Quarvo - [Fileviewer]"));
    Show(folder_.File("opera6.adr"));
    EXPECT_EQ(viewer_.windowTitle(), QStringLiteral("Quarvo - [opera6.adr]"));
}

TEST_F(FileViewerTest, ANameThatIsNoPlainFileGivesAnEmptyEditorAndNoBackup) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "#CONTACT\r\n");
    fs::create_directory(folder_.path() / "a folder");
    for (const std::string& name :
         {std::string(), folder_.File("missing.adr"), folder_.File("a folder")}) {
        Show(contacts);  // leaves text in the editor that must not survive
        fs::remove(folder_.path() / kBackup);
        Close();
        Show(name);
        EXPECT_EQ(editor_->lineCount(), 0) << name;
        EXPECT_FALSE(BackupExists()) << name;
        EXPECT_TRUE(reported_.isEmpty()) << name;
        Close();
    }
}

TEST_F(FileViewerTest, EachShowingLoadsTheFileAndWritesTheBackupAnew) {
    const std::string bookmarks = folder_.File("opera6.adr");
    PutBytes(bookmarks, "Opera Hotlist version 2.0\n\n#URL\n\tNAME=One\n\tURL=http://one/");
    Show(bookmarks);
    EXPECT_EQ(editor_->text(), QStringLiteral("Opera Hotlist version 2.0\r\n\r\n#URL\r\n"
                                              "  NAME=One\r\n  URL=http://one/"));
    // The backup is the file as it was on disk, not as the editor shows it.
    EXPECT_EQ(Backup(), "Opera Hotlist version 2.0\n\n#URL\n\tNAME=One\n\tURL=http://one/");
    Close();

    PutBytes(bookmarks, "#URL\r\n\tNAME=Two\r\n");
    Show(bookmarks);
    EXPECT_EQ(Backup(), "#URL\r\n\tNAME=Two\r\n");
    Close();

    PutBytes(bookmarks, "");
    Show(bookmarks);
    EXPECT_TRUE(BackupExists());
    EXPECT_EQ(Backup(), "");
}

TEST_F(FileViewerTest, SaveWritesTabsAsSpacesAndEveryLineBreakAsCrLf) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "#CONTACT\n\tNAME=Ann\r\tMAIL=ann@example.org");
    Show(contacts);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "#CONTACT\r\n  NAME=Ann\r\n  MAIL=ann@example.org\r\n");
}

TEST_F(FileViewerTest, SaveWritesTheEditedText) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor_, "e");
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "NAME=Anne\r\n");
}

TEST_F(FileViewerTest, SaveNeverBlanksOrCreatesAFile) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "#CONTACT\r\nNAME=Ann\r\n");
    Show(contacts);
    editor_->selectAll();
    QTest::keyClick(editor_, Qt::Key_Delete);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "#CONTACT\r\nNAME=Ann\r\n");
    Close();

    const std::string missing = folder_.File("missing.adr");
    Show(missing);
    QTest::keyClicks(editor_, "typed into an empty viewer");
    Button("tbSaveFile")->click();
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(FileViewerTest, OneEmptyLineSavesCrLf) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "\n");
    Show(contacts);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "\r\n");
}

TEST_F(FileViewerTest, SaveAsKeepsTheViewedFileForTheNextSave) {
    const std::string contacts = folder_.File("contacts.adr");
    const std::string copy = folder_.File("copy.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor_, "e");

    const QString offered = SaveAs(copy);
    EXPECT_EQ(fs::path(offered.toStdString()), fs::path(contacts));
    EXPECT_EQ(GetBytes(copy), "NAME=Anne\r\n");
    EXPECT_EQ(GetBytes(contacts), "NAME=Ann\r\n");
    EXPECT_EQ(ViewedFileName, contacts);
    EXPECT_EQ(viewer_.windowTitle(), QStringLiteral("Quarvo - [contacts.adr]"));

    QTest::keyClicks(editor_, "!");
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "NAME=Anne!\r\n");
    EXPECT_EQ(GetBytes(copy), "NAME=Anne\r\n");
}

TEST_F(FileViewerTest, SaveAsOfNoLinesCreatesAnEmptyFileAndCancelWritesNothing) {
    Show(folder_.File("missing.adr"));
    const std::string chosen = folder_.File("new.adr");
    SaveAs("");
    EXPECT_FALSE(fs::exists(chosen));
    SaveAs(chosen);
    ASSERT_TRUE(fs::exists(chosen));
    EXPECT_EQ(fs::file_size(chosen), 0u);
}

TEST_F(FileViewerTest, AnEightBitFileComesBackByteForByte) {
    // Windows-1252: quotes, umlauts, a no-break space, the euro sign.
    const std::string bytes =
        "Opera Hotlist version 2.0\r\n\r\n#URL\r\n  NAME=M\xFCnchen \x93"
        "Caf\xE9\x94\xA0\x80\r\n"
        "  DESCRIPTION=\xC3\xA9 looks like UTF-8 but \xE9 is not\r\n";
    const std::string hotlist = folder_.File("opera6.adr");
    PutBytes(hotlist, bytes);
    Show(hotlist);
    EXPECT_TRUE(editor_->text().contains(QStringLiteral("M\u00FCnchen \u201C")));
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(hotlist), bytes);
    EXPECT_EQ(Backup(), bytes);
}

// The documented change a load and save makes, computed independently of
// the editor: tabs to two spaces, every break to CR LF, a final CR LF.
std::string AsSaved(const std::string& bytes) {
    std::string out;
    std::string line;
    bool pending = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += line + "\r\n";
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line += c == '\t' ? std::string("  ") : std::string(1, c);
            pending = true;
        }
    }
    if (pending) out += line + "\r\n";
    return out;
}

TEST_F(FileViewerTest, ZeroAndStrayBytesSurviveOpenAndSave) {
    static constexpr char kContacts[] =
        "Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=Before\0After\r\n\tMAIL=a@b.c\r\n"
        "\r\n#CONTACT\r\n\tNAME=Second\r\n\tMAIL=s@b.c\r\n";
    const std::string contacts(kContacts, sizeof kContacts - 1);
    const std::string utf8_with_stray_byte =
        "#URL\n\tNAME=M\xC3\xBCnchen \xE8\xBF\xB7 \xFF\n\tURL=http://k\xC3\xB6ln.de/\n";
    for (const std::string& bytes : {contacts, utf8_with_stray_byte}) {
        const std::string name = folder_.File("viewed.adr");
        PutBytes(name, bytes);
        Show(name);
        Button("tbSaveFile")->click();
        EXPECT_EQ(GetBytes(name), AsSaved(bytes));
        EXPECT_EQ(Backup(), bytes);
        Close();
    }
    EXPECT_TRUE(editor_->text().contains(QStringLiteral("NAME=M\u00FCnchen \u8FF7")));
}

TEST_F(FileViewerTest, CharactersTheFileCannotHoldAreNotSavedWithoutAsking) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ren\xE9\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End, Qt::ControlModifier);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u4E2D"));
    QApplication::sendEvent(editor_, &typed);

    QStringList asked;
    bool answer = false;
    desktop_.on_question = [&](const QString& text) {
        asked << text;
        return answer;
    };
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "NAME=Ren\xE9\r\n");
    SaveAs(folder_.File("copy.adr"));
    EXPECT_FALSE(fs::exists(folder_.File("copy.adr")));
    answer = true;
    Button("tbSaveFile")->click();
    desktop_.on_question = nullptr;

    ASSERT_EQ(asked.size(), 3);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("\"\u4E2D\" (U+4E2D)"))) << asked[0].toStdString();
    EXPECT_EQ(GetBytes(contacts), "NAME=Ren\xE9?\r\n");
}

TEST_F(FileViewerTest, TheRealOperaFilesSurviveOpenAndSave) {
    const fs::path corpus(QUARVO_CORPUS_DIR);
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no Opera files at " << corpus;
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".adr") continue;
        const std::string original = GetBytes(entry.path().string());
        const std::string name = folder_.File(entry.path().filename().string());
        PutBytes(name, original);
        Show(name);
        Button("tbSaveFile")->click();
        EXPECT_EQ(GetBytes(name), AsSaved(original)) << entry.path();
        Close();
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

TEST_F(FileViewerTest, AFailedSaveLeavesTheFileAsItWas) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClicks(editor_, "edited ");
    quarvo::file_seam::Calls().write = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    Button("tbSaveFile")->click();
    quarvo::file_seam::Reset();

    EXPECT_EQ(reported_,
              QStringList{QStringLiteral("Stream write error: No space left on device")});
    EXPECT_EQ(GetBytes(contacts), "NAME=Ann\r\n");
    EXPECT_EQ(editor_->fileBytes(), "edited NAME=Ann\r\n");
    EXPECT_TRUE(viewer_.isVisible());
}

TEST_F(FileViewerTest, SaveAsIntoAMissingFolderIsReported) {
    Show(folder_.File("missing.adr"));
    QTest::keyClicks(editor_, "text");
    const std::string target = folder_.File("no such folder/out.adr");
    SaveAs(target);
    EXPECT_EQ(reported_, QStringList{QString::fromStdString("Cannot create file " + target +
                                                            ": No such file or directory")});
    EXPECT_EQ(editor_->fileBytes(), "text\r\n");
}

TEST_F(FileViewerTest, ReloadDiscardsEditsWithoutNewCaptionOrBackup) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClicks(editor_, "edited ");
    fs::remove(folder_.path() / kBackup);
    PutBytes(contacts, "NAME=\tBob\n");
    viewer_.setWindowTitle(QStringLiteral("marker"));

    Button("tbReload")->click();
    EXPECT_EQ(editor_->fileBytes(), "NAME=  Bob\r\n");
    EXPECT_EQ(viewer_.windowTitle(), QStringLiteral("marker"));
    EXPECT_FALSE(BackupExists());
}

TEST_F(FileViewerTest, ReloadOfAVanishedFileKeepsTheText) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    fs::remove(contacts);
    Button("tbReload")->click();
    EXPECT_EQ(reported_, QStringList{QString::fromStdString("Cannot open file " + contacts +
                                                            ": No such file or directory")});
    EXPECT_EQ(editor_->fileBytes(), "NAME=Ann\r\n");
}

TEST_F(FileViewerTest, AFileThatCannotBeReadAtShowingLeavesTheEditorEmpty) {
    const std::string first = folder_.File("contacts.adr");
    const std::string locked = folder_.File("opera6.adr");
    PutBytes(first, "NAME=Ann\r\n");
    PutBytes(locked, "#URL\r\n");
    Show(first);
    Close();

    // Another program writing the file holds it locked for the duration.
    const int fd = ::open(locked.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    Show(locked);
    ::close(fd);

    EXPECT_EQ(reported_, QStringList{QString::fromStdString("Cannot open file " + locked +
                                                            ": it is in use by another program")});
    EXPECT_EQ(viewer_.windowTitle(), QStringLiteral("Quarvo - [opera6.adr]"));
    EXPECT_EQ(editor_->lineCount(), 0);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(locked), "#URL\r\n");
}

TEST_F(FileViewerTest, ABackupThatCannotBeWrittenIsReportedAfterLoading) {
    fs::create_directory(folder_.path() / kBackup);
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    EXPECT_EQ(reported_, QStringList{QStringLiteral(
                             "Cannot create file QuarvoFileViewerBackup.txt: Is a directory")});
    EXPECT_EQ(editor_->fileBytes(), "NAME=Ann\r\n");
    EXPECT_TRUE(viewer_.isVisible());
}

TEST_F(FileViewerTest, WindowAndToolbarAreLaidOutAsDesigned) {
    EXPECT_EQ(viewer_.objectName(), QStringLiteral("fFileViewer"));
    EXPECT_EQ(viewer_.size(), QSize(582, 438));
    EXPECT_EQ(viewer_.minimumSize(), viewer_.maximumSize());
    const Qt::WindowFlags flags = viewer_.windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint));

    const struct {
        const char* name;
        int left;
        bool enabled;
        const char* hint;
    } buttons[] = {
        {"tbReload", 0, true, "Reload file, discard all changes "},
        {"tbSaveAs", 23, true, "Save as ... "},
        {"tbSaveFile", 46, true,
         "Save changes\n\nBe careful when you edited your original opera-file \n"
         "if you did something wrong your original bookmarks/contacts \nwill be overwritten !!!"},
        {"tbSearch", 69, false, "Search within this file"},
        {"tbClose", 113, true, "Close, go back to Main-Window"},
    };
    for (const auto& b : buttons) {
        QToolButton* button = Button(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->x(), b.left) << b.name;
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.name;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(b.hint)) << b.name;
        EXPECT_FALSE(button->icon().isNull()) << b.name;
    }
    EXPECT_EQ(editor_->geometry().top(),
              viewer_.findChild<QWidget*>(QStringLiteral("ToolBar1"))->geometry().bottom() + 1);
    EXPECT_EQ(editor_->geometry().bottom(), viewer_.height() - 1);
}

TEST_F(FileViewerTest, OnlyTheCloseButtonEndsTheModalShowing) {
    ViewedFileName = folder_.File("missing.adr");
    bool escape_ignored = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClick(&viewer_, Qt::Key_Escape);
        escape_ignored = viewer_.isVisible();
        Close();
    });
    EXPECT_EQ(viewer_.exec(), QDialog::Rejected);
    EXPECT_TRUE(escape_ignored);
    EXPECT_FALSE(viewer_.isVisible());
}

}  // namespace
