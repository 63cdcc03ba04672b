// SPDX-License-Identifier: MIT
// The file viewer against real files in a scratch folder: what each showing
// loads and backs up, what Save, Save as and Reload write or refuse to
// write, that no byte of a file the user did not edit is lost, that keys
// reach every command and type nothing else, and that no edit is dropped
// without a question.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "../support/temp_folder.h"
#include "app_globals.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/file_seam.h"
#include "quarvo/viewer/viewer_text.h"
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
    EXPECT_EQ(editor_->text(), QStringLiteral("Opera Hotlist version 2.0\n\n#URL\n"
                                              "\tNAME=One\n\tURL=http://one/"));
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

TEST_F(FileViewerTest, AnUneditedSaveWritesTheBytesItRead) {
    const std::string contacts = folder_.File("contacts.adr");
    const std::string bytes = "#CONTACT\n\tNAME=Ann\r\tMAIL=ann@example.org\r\n\tNOTE=a\tb";
    PutBytes(contacts, bytes);
    Show(contacts);
    EXPECT_EQ(editor_->SendScintilla(QsciScintilla::SCI_GETTABWIDTH), 2)
        << "a tab two columns wide";
    EXPECT_EQ(editor_->lineCount(), 4);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), bytes);
}

// Keys as the user presses them: an added line ends as the file's lines
// do, a typed tab is a tab, and every other line keeps its bytes.
TEST_F(FileViewerTest, TypedLinesAndTabsKeepTheFilesOwnBreaks) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "#CONTACT\n\tNAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End);
    QTest::keyClick(editor_, Qt::Key_Return);
    QTest::keyClick(editor_, Qt::Key_Tab);
    QTest::keyClicks(editor_, "MAIL=a");
    QTest::keyClick(editor_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(GetBytes(contacts), "#CONTACT\n\tMAIL=a\n\tNAME=Ann\r\n");
}

TEST_F(FileViewerTest, SaveWritesTheEditedText) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End);
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

TEST_F(FileViewerTest, OneEmptyLineSavesAsItWas) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "\n");
    Show(contacts);
    Button("tbSaveFile")->click();
    EXPECT_EQ(GetBytes(contacts), "\n");
}

TEST_F(FileViewerTest, SaveAsKeepsTheViewedFileForTheNextSave) {
    const std::string contacts = folder_.File("contacts.adr");
    const std::string copy = folder_.File("copy.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End);
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
        EXPECT_EQ(GetBytes(name), bytes);
        EXPECT_EQ(Backup(), bytes);
        Close();
    }
    EXPECT_TRUE(editor_->text().contains(QStringLiteral("NAME=M\u00FCnchen \u8FF7")));
}

TEST_F(FileViewerTest, CharactersTheFileCannotHoldAreNotSavedWithoutAsking) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ren\xE9\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_End);
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

// The real Opera files through real keys: a character typed and taken back
// again, Ctrl+S, and the file holds exactly the bytes it held.
TEST_F(FileViewerTest, TheRealOperaFilesSurviveKeysAndSave) {
    const fs::path corpus(QUARVO_CORPUS_DIR);
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no Opera files at " << corpus;
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".adr") continue;
        const std::string original = GetBytes(entry.path().string());
        const std::string name = folder_.File(entry.path().filename().string());
        PutBytes(name, original);
        Show(name);
        QTest::keyClick(editor_, Qt::Key_Down);
        QTest::keyClicks(editor_, "x");
        QTest::keyClick(editor_, Qt::Key_Backspace);
        QTest::keyClick(editor_, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(GetBytes(name), original) << entry.path();
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
    EXPECT_EQ(editor_->fileBytes(), "text");
}

TEST_F(FileViewerTest, ReloadDiscardsEditsWithoutNewCaptionOrBackup) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClicks(editor_, "edited ");
    fs::remove(folder_.path() / kBackup);
    PutBytes(contacts, "NAME=\tBob\n");
    viewer_.setWindowTitle(QStringLiteral("marker"));

    desktop_.on_save_changes = [](const QString&) { return quarvo::SaveChoice::Discard; };
    Button("tbReload")->click();
    EXPECT_EQ(editor_->fileBytes(), "NAME=\tBob\n");
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
        {"tbReload", 0, true, "Reload file, discard all changes (F5)"},
        {"tbSaveAs", 23, true, "Save as ... (Ctrl+Shift+S)"},
        {"tbSaveFile", 46, true,
         "Save changes (Ctrl+S)\n\nBe careful when you edited your original opera-file \n"
         "if you did something wrong your original bookmarks/contacts \nwill be overwritten !!!"},
        {"tbSearch", 69, false, "Search within this file"},
        {"tbClose", 113, true, "Close, go back to Main-Window (Esc)"},
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

// Every way out of the viewer asks before unsaved edits are lost, and
// goes at once when there are none.
TEST_F(FileViewerTest, ClosingWithUnsavedEditsAsksFirst) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    const std::function<void()> ways_out[] = {
        [&] { QTest::keyClick(editor_, Qt::Key_Escape); },
        [&] { QTest::keyClick(editor_, Qt::Key_W, Qt::ControlModifier); },
        [&] { Close(); },
        // What the window manager's close button and Alt+F4 send.
        [&] { viewer_.windowHandle()->close(); },
    };
    int way = 0;
    for (const auto& close : ways_out) {
        SCOPED_TRACE(way++);
        QStringList asked;
        quarvo::SaveChoice answer = quarvo::SaveChoice::Cancel;
        desktop_.on_save_changes = [&](const QString& question) {
            asked << question;
            return answer;
        };
        Show(contacts);
        QTest::keyClick(editor_, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(editor_, "e");
        close();
        EXPECT_TRUE(viewer_.isVisible()) << "Cancel keeps the viewer and its text";
        answer = quarvo::SaveChoice::Save;
        close();
        EXPECT_EQ(
            asked,
            QStringList(2, QStringLiteral("Do you want to save the changes to contacts.adr?")));
        EXPECT_EQ(GetBytes(contacts), "NAME=Ann\r\ne");
        EXPECT_FALSE(viewer_.isVisible());
        PutBytes(contacts, "NAME=Ann\r\n");

        asked.clear();
        Show(contacts);
        close();
        EXPECT_TRUE(asked.isEmpty()) << "nothing unsaved, nothing asked";
        EXPECT_FALSE(viewer_.isVisible());
    }
}

// A keyboard alone reaches Save, Save as and Reload.
TEST_F(FileViewerTest, ShortcutsRunTheToolbarsCommands) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClicks(editor_, "1");
    QTest::keyClick(editor_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(GetBytes(contacts), "1NAME=Ann\r\n");
    EXPECT_FALSE(editor_->isModified());

    std::string offered;
    desktop_.on_save_name = [&](const std::string& suggested) -> std::optional<std::string> {
        offered = suggested;
        return folder_.File("copy.adr");
    };
    QTest::keyClick(editor_, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(offered, contacts);
    EXPECT_EQ(GetBytes(folder_.File("copy.adr")), "1NAME=Ann\r\n");

    PutBytes(contacts, "NAME=Bob\r\n");
    QTest::keyClick(editor_, Qt::Key_F5);
    EXPECT_EQ(editor_->fileBytes(), "NAME=Bob\r\n");
    EXPECT_TRUE(reported_.isEmpty());
}

// Alt+letter (a menu the viewer does not have), an unbound Ctrl+letter and
// the function keys type nothing into the file; the keys the editor binds
// still work.
TEST_F(FileViewerTest, KeysWithAltOrCtrlTypeNothing) {
    const std::string contacts = folder_.File("contacts.adr");
    PutBytes(contacts, "NAME=Ann\r\n");
    Show(contacts);
    QTest::keyClick(editor_, Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(editor_, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(editor_, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(editor_, Qt::Key_Q, Qt::ControlModifier);
    for (const Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F10, Qt::Key_F12})
        QTest::keyClick(editor_, key);
    EXPECT_FALSE(editor_->isModified()) << editor_->text().toStdString();
    EXPECT_EQ(editor_->fileBytes(), "NAME=Ann\r\n");

    QTest::keyClick(editor_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor_, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(editor_, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(editor_, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor_->fileBytes(), "NAME=Ann\r\nNAME=Ann\r\n");
}

// A large file shows its progress in the viewer while it loads, and the
// bar is gone once it has.
TEST_F(FileViewerTest, LoadingShowsItsProgressInTheWindow) {
    std::string big;
    while (big.size() < 3 * quarvo::kEditorPieceBytes) big += "#URL\r\n\tNAME=Some name\r\n\r\n";
    const std::string name = folder_.File("opera6.adr");
    PutBytes(name, big);
    auto* bar = viewer_.findChild<QProgressBar*>(QStringLiteral("LoadProgress"));
    ASSERT_NE(bar, nullptr);
    QList<int> shown;
    struct Watch : QObject {
        QProgressBar* bar;
        QList<int>* shown;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) *shown << bar->value();
            return false;
        }
    } watch;
    watch.bar = bar;
    watch.shown = &shown;
    bar->installEventFilter(&watch);
    Show(name);
    EXPECT_GE(shown.size(), 4) << "read, each piece and the backup";
    EXPECT_EQ(shown.last(), bar->maximum());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(editor_->fileBytes(), big);
}

}  // namespace
