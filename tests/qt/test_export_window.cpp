// SPDX-License-Identifier: MIT
// The export window as the File menu opens it for Opera's notes and for its
// mail: filled in from the profile search, the target following the chosen
// output, an export that runs while the window keeps handling its events,
// the question before a folder with files is replaced, and a cancel that
// leaves nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>

#include "file_name_edit.h"
#include "hot_track_glyph_button.h"
#include "recording_desktop.h"
#include "shell_folders.h"
#include "start_up.h"
#include "step_progress_bar.h"
#include "uExport.h"
#include "uZorezOrudaz_Main.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A notes file of `notes` notes, in two folders.
std::string NotesFile(int notes) {
    std::string text =
        "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n#FOLDER\n\tNAME=A\n\n";
    for (int i = 0; i < notes; ++i) {
        if (i == notes / 2) text += "-\n\n#FOLDER\n\tNAME=B\n\n";
        text += "#NOTE\n\tNAME=Note " + std::to_string(i) +
                "\x02\x02line two\n\tCREATED=1449469720\n\n";
    }
    return text + "-\n";
}

class ExportWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QApplication::setFont(quarvo::programFont());
        if (const char* home = std::getenv("HOME")) old_home_ = home;
        setenv("HOME", path("home").toLocal8Bit().constData(), 1);
        QDir().mkpath(path("home/.opera"));
        QDir().mkpath(path("documents"));
        desktop_.folders = [this](std::uint8_t kind) {
            return kind == quarvo::kPersonalFolder ? path("documents/").toStdString()
                                                   : std::string();
        };
        desktop_.on_message = [this](const QString& text) { messages_ << text; };
        desktop_.on_error = [this](const QString& text) { errors_ << text; };
        windows_ = std::make_unique<quarvo::ProgramWindows>(desktop_);
    }
    void TearDown() override {
        windows_.reset();
        setenv("HOME", old_home_.c_str(), 1);
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    void putNotes(int notes) {
        QFile file(path("home/.opera/notes.adr"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const std::string text = NotesFile(notes);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    // An Opera mail folder where Opera keeps it: two accounts with
    // `per_account` messages each, one a file, each of about `size` bytes.
    void putMail(int per_account, std::size_t size = 300) {
        const std::string mail = path("home/.opera/mail").toStdString();
        QDir().mkpath(QString::fromStdString(mail));
        putFile(mail + "/accounts.ini",
                "Opera Preferences version 2.1\r\n\r\n[Account1]\r\nAccount Name=Home\r\n\r\n"
                "[Account2]\r\nAccount Name=Work\r\n");
        const std::string line(70, 'x');
        for (int account = 1; account <= 2; ++account) {
            const std::string day =
                mail + "/store/account" + std::to_string(account) + "/2014/07/22";
            QDir().mkpath(QString::fromStdString(day));
            for (int i = 0; i < per_account; ++i) {
                const std::string id = std::to_string(i);
                std::string message = "From a@example.org Tue Jul 22 10:00:00 2014 " + id +
                                      "\r\nSubject: " + id +
                                      "\r\nDate: Tue, 22 Jul 2014 10:00:00 +0200\r\n\r\n";
                while (message.size() < size) message += line + "\r\n";
                putFile(day + "/" + id + ".mbs", message);
            }
        }
    }
    static void putFile(const std::string& name, const std::string& bytes) {
        QFile file(QString::fromStdString(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    // The entries of a folder, hidden ones too.
    QStringList entries(const char* name) const {
        return QDir(path(name))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    // Opens the window from the File menu's `item` and runs `steps` inside
    // its modal loop; the window is closed after them if they leave it open.
    void inExportWindow(const std::function<void(TfExport&)>& steps,
                        const char* item = "ExportNotes") {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TfExport*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            steps(*window);
            ran = true;
            if (window->isVisible()) window->reject();
        });
        windows_->mainWindow()->findChild<QAction*>(QString::fromLatin1(item))->trigger();
        EXPECT_TRUE(ran);
    }

    template <class T>
    static T* child(TfExport& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Waits, handling events, until the window's export has ended.
    static void waitForTheEnd(TfExport& window) {
        for (int i = 0; i < 600 && window.logic().Running(); ++i) QTest::qWait(50);
        EXPECT_FALSE(window.logic().Running());
    }

    QTemporaryDir dir_;
    std::string old_home_;
    RecordingDesktop desktop_;
    std::unique_ptr<quarvo::ProgramWindows> windows_;
    QStringList messages_, errors_;
};

TEST_F(ExportWindow, TheFileMenuOpensItFilledInFromTheProfile) {
    putNotes(3);
    inExportWindow([&](TfExport& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarvo - [Export Opera notes]"));
        EXPECT_EQ(child<quarvo::FileNameEdit>(window, "jfeSource")->fileName(),
                  path("home/.opera/notes.adr"));
        auto* target = child<quarvo::FileNameEdit>(window, "jfeTarget");
        EXPECT_EQ(target->fileName(), path("documents/Opera notes"));
        EXPECT_TRUE(target->folders());
        EXPECT_FALSE(child<quarvo::HotTrackGlyphButton>(window, "jhbCancelExport")->isEnabled());
        child<QComboBox>(window, "cbChoice")->setCurrentIndex(3);
        EXPECT_EQ(target->fileName(), path("documents/Opera notes.html"));
        EXPECT_FALSE(target->folders());
        target->setFileName(path("documents/mine"));
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbClose"), Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    });
    // The window is kept, with what the user typed.
    inExportWindow([&](TfExport& window) {
        EXPECT_EQ(child<quarvo::FileNameEdit>(window, "jfeTarget")->fileName(),
                  path("documents/mine"));
    });
}

TEST_F(ExportWindow, ExportsWhileTheWindowKeepsHandlingItsEvents) {
    constexpr int kNotes = 60000;
    putNotes(kNotes);
    inExportWindow([&](TfExport& window) {
        child<QComboBox>(window, "cbChoice")->setCurrentIndex(1);
        int ticks_while_running = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { ticks_while_running += window.logic().Running(); });
        ticker.start(5);
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport"),
                          Qt::LeftButton);
        EXPECT_TRUE(window.logic().Running());
        EXPECT_FALSE(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport")->isEnabled());
        EXPECT_FALSE(child<QComboBox>(window, "cbChoice")->isEnabled());
        waitForTheEnd(window);
        EXPECT_GT(ticks_while_running, 0) << "the window's thread waited for the export";
        auto* bar = child<quarvo::StepProgressBar>(window, "ProgressBar");
        EXPECT_EQ(bar->maxPosition(), kNotes);
        EXPECT_EQ(bar->position(), kNotes);
        EXPECT_EQ(child<QLabel>(window, "lblStatus")->text(),
                  QStringLiteral("60000 notes exported."));
        EXPECT_TRUE(child<QComboBox>(window, "cbChoice")->isEnabled());
    });
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("60000 notes exported to ") +
                                        path("documents/Opera notes.enex") +
                                        QStringLiteral(":\nnotes: 60000\n")))
        << messages_[0].toStdString();
    EXPECT_TRUE(QFile::exists(path("documents/Opera notes.enex")));
    EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(ExportWindow, CancelLeavesNothingWritten) {
    putNotes(200000);
    inExportWindow([&](TfExport& window) {
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport"),
                          Qt::LeftButton);
        auto* bar = child<quarvo::StepProgressBar>(window, "ProgressBar");
        for (int i = 0; i < 400 && bar->position() == 0 && window.logic().Running(); ++i)
            QTest::qWait(10);
        ASSERT_TRUE(window.logic().Running()) << "the export ended before it could be cancelled";
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbCancelExport"),
                          Qt::LeftButton);
        waitForTheEnd(window);
        EXPECT_EQ(child<QLabel>(window, "lblStatus")->text(),
                  QStringLiteral("Cancelled: nothing was written."));
    });
    EXPECT_FALSE(QFile::exists(path("documents/Opera notes")));
    EXPECT_EQ(
        QDir(path("documents")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(ExportWindow, TheMailsItemOpensAWindowOfItsOwnFilledInFromTheProfile) {
    putMail(1);
    inExportWindow(
        [&](TfExport& window) {
            EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarvo - [Export Opera mail]"));
            EXPECT_EQ(child<QLabel>(window, "lblSource")->text(),
                      QStringLiteral("Opera Mail-Folder"));
            auto* source = child<quarvo::FileNameEdit>(window, "jfeSource");
            EXPECT_EQ(source->fileName(), path("home/.opera/mail"));
            EXPECT_TRUE(source->folders());
            auto* target = child<quarvo::FileNameEdit>(window, "jfeTarget");
            EXPECT_EQ(target->fileName(), path("documents/Opera mail"));
            auto* choices = child<QComboBox>(window, "cbChoice");
            ASSERT_EQ(choices->count(), 2);
            choices->setCurrentIndex(1);
            EXPECT_EQ(target->fileName(), path("documents/Opera mail"));
            EXPECT_TRUE(target->folders());
            EXPECT_FALSE(child<QCheckBox>(window, "chkOption1")->isChecked());
            EXPECT_FALSE(child<QCheckBox>(window, "chkOption2")->isVisibleTo(&window));
        },
        "ExportMail");
    // The notes keep their own window.
    inExportWindow([&](TfExport& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarvo - [Export Opera notes]"));
    });
}

TEST_F(ExportWindow, ExportsTheMailAndReplacesAFolderWithFilesOnlyWhenTold) {
    putMail(3);
    QStringList questions;
    bool replace = false;
    desktop_.on_replace = [&](const QString& question) {
        questions << question;
        return replace;
    };
    const auto start = [&](TfExport& window) {
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport"),
                          Qt::LeftButton);
        waitForTheEnd(window);
    };
    inExportWindow(
        [&](TfExport& window) {
            start(window);
            EXPECT_EQ(child<QLabel>(window, "lblStatus")->text(),
                      QStringLiteral("6 messages exported."));
            auto* bar = child<quarvo::StepProgressBar>(window, "ProgressBar");
            EXPECT_GT(bar->maxPosition(), 0);
            EXPECT_EQ(bar->position(), bar->maxPosition());
            EXPECT_EQ(entries("documents/Opera mail"),
                      (QStringList{"Home.mbox", "Work.mbox", "accounts.html"}));

            // A Maildir with LF line ends over the first export: asked first.
            child<QComboBox>(window, "cbChoice")->setCurrentIndex(1);
            QTest::mouseClick(child<QCheckBox>(window, "chkOption1"), Qt::LeftButton);
            start(window);
            EXPECT_EQ(entries("documents/Opera mail"),
                      (QStringList{"Home.mbox", "Work.mbox", "accounts.html"}));
            replace = true;
            start(window);
            EXPECT_EQ(entries("documents/Opera mail"),
                      (QStringList{"Home", "Work", "accounts.html"}));
        },
        "ExportMail");
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], path("documents/Opera mail") +
                                QStringLiteral(" already holds files.\n\nReplace the whole folder "
                                               "with the export? Everything in it now will be "
                                               "deleted."));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_TRUE(messages_[0].startsWith(
        QStringLiteral("6 messages in 2 mailboxes exported to ") + path("documents/Opera mail") +
        QStringLiteral(", the accounts' settings in accounts.html:\nmailboxes written: 2\n")))
        << messages_[0].toStdString();
    const QStringList home = QDir(path("documents/Opera mail/Home/cur")).entryList(QDir::Files);
    ASSERT_EQ(home.size(), 3);
    QFile message(path("documents/Opera mail/Home/cur/") + home[0]);
    ASSERT_TRUE(message.open(QIODevice::ReadOnly));
    EXPECT_FALSE(message.readAll().contains('\r'));
    EXPECT_EQ(entries("documents"), QStringList{"Opera mail"});
    EXPECT_TRUE(errors_.isEmpty());
}

// Cancelled while the mailboxes are written: no folder, no temporary.
TEST_F(ExportWindow, CancellingTheMailLeavesNoFolderAndNoTemporary) {
    putMail(10000, 1500);
    inExportWindow(
        [&](TfExport& window) {
            QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport"),
                              Qt::LeftButton);
            auto* status = child<QLabel>(window, "lblStatus");
            EXPECT_EQ(status->text(), QStringLiteral("Reading the mail store..."));
            for (int i = 0; i < 1000 && window.logic().Running() &&
                            status->text() != QStringLiteral("Writing the mailboxes...");
                 ++i)
                QTest::qWait(5);
            ASSERT_TRUE(window.logic().Running())
                << "the export ended before it could be cancelled";
            EXPECT_GT(child<quarvo::StepProgressBar>(window, "ProgressBar")->maxPosition(), 0);
            QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbCancelExport"),
                              Qt::LeftButton);
            EXPECT_EQ(status->text(), QStringLiteral("Cancelling..."));
            waitForTheEnd(window);
            EXPECT_EQ(status->text(), QStringLiteral("Cancelled: nothing was written."));
        },
        "ExportMail");
    EXPECT_EQ(entries("documents"), QStringList());
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_TRUE(errors_.isEmpty());
}

}  // namespace
