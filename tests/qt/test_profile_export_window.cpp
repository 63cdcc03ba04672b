// SPDX-License-Identifier: MIT
// The whole-profile window as the File menu opens it: the profile found in
// the home folder with each kind's count, driven by mouse clicks and keys:
// a kind unticked, the export run while the window keeps handling events,
// what was written shown, the folder opened, Escape closing it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <string>

#include "file_name_edit.h"
#include "hot_track_glyph_button.h"
#include "recording_desktop.h"
#include "shell_folders.h"
#include "start_up.h"
#include "uProfileExport.h"
#include "uZorezOrudaz_Main.h"

namespace {

class ProfileExportWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QApplication::setFont(quarvo::programFont());
        if (const char* home = std::getenv("HOME")) old_home_ = home;
        setenv("HOME", path("home").toLocal8Bit().constData(), 1);
        QDir().mkpath(path("home/.opera"));
        QDir().mkpath(path("documents"));
        put("home/.opera/opera6.adr",
            "Opera Hotlist version "
            "2.0\n\n#URL\n\tNAME=a\n\tURL=http://a/\n\n#URL\n\tNAME=b\n\tURL=http://b/\n");
        put("home/.opera/contacts.adr", "Opera Hotlist version 2.0\n\n#CONTACT\n\tNAME=Ann\n");
        put("home/.opera/wand.dat", "secret");
        desktop_.folders = [this](std::uint8_t kind) {
            return kind == quarvo::kPersonalFolder ? path("documents/").toStdString()
                                                   : std::string();
        };
        desktop_.on_message = [this](const QString& text) { messages_ << text; };
        desktop_.on_error = [this](const QString& text) { messages_ << text; };
        desktop_.on_link = [this](const std::string& link, QWidget*) { links_.push_back(link); };
        windows_ = std::make_unique<quarvo::ProgramWindows>(desktop_);
    }
    void TearDown() override {
        windows_.reset();
        setenv("HOME", old_home_.c_str(), 1);
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
    void put(const char* name, const std::string& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    void inWindow(const std::function<void(TfProfileExport&)>& steps) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TfProfileExport*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            steps(*window);
            ran = true;
            if (window->isVisible()) window->reject();
        });
        windows_->mainWindow()->findChild<QAction*>(QStringLiteral("ExportProfile"))->trigger();
        EXPECT_TRUE(ran);
    }

    template <class T>
    static T* child(TfProfileExport& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir dir_;
    std::string old_home_;
    RecordingDesktop desktop_;
    std::unique_ptr<quarvo::ProgramWindows> windows_;
    QStringList messages_;
    std::vector<std::string> links_;
};

TEST_F(ProfileExportWindow, ExportsTheTickedKindsOfTheProfileFoundAndOpensTheFolder) {
    inWindow([&](TfProfileExport& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarvo - [Export whole profile]"));
        EXPECT_EQ(child<QComboBox>(window, "cbProfile")->currentText(), path("home/.opera/"));
        auto* bookmarks = child<QCheckBox>(window, "chkKind1");
        auto* contacts = child<QCheckBox>(window, "chkKind2");
        auto* notes = child<QCheckBox>(window, "chkKind3");
        EXPECT_EQ(
            bookmarks->text(),
            QStringLiteral("Bookmarks: 2 bookmarks, 0 folders, 0 in Opera's trash (left out)"));
        EXPECT_TRUE(bookmarks->isChecked() && contacts->isChecked());
        EXPECT_FALSE(notes->isEnabled());
        EXPECT_TRUE(child<QLabel>(window, "lblUntouched")
                        ->text()
                        .startsWith(QStringLiteral("Saved passwords (wand.dat): never read")));

        // The contacts left out with a click; the target typed.
        QTest::mouseClick(contacts, Qt::LeftButton, {}, QPoint(6, contacts->height() / 2));
        EXPECT_FALSE(contacts->isChecked());
        QLineEdit* target = child<quarvo::FileNameEdit>(window, "jfeTarget")->lineEdit();
        target->clear();
        QTest::keyClicks(target, path("documents/out"));
        auto* open = child<quarvo::HotTrackGlyphButton>(window, "jhbOpenFolder");
        EXPECT_FALSE(open->isEnabled());
        QTest::mouseClick(child<quarvo::HotTrackGlyphButton>(window, "jhbStartExport"),
                          Qt::LeftButton);
        for (int i = 0; i < 600 && !open->isEnabled(); ++i) QTest::qWait(50);
        EXPECT_TRUE(QFile::exists(path("documents/out/bookmarks.html")));
        EXPECT_TRUE(QFile::exists(path("documents/out/report.html")));
        EXPECT_FALSE(QFile::exists(path("documents/out/contacts.vcf")));
        EXPECT_TRUE(
            child<QPlainTextEdit>(window, "memReport")
                ->toPlainText()
                .startsWith(QStringLiteral(
                    "Bookmarks: bookmarks.html, bookmarks.json, Bookmarks\nContacts: left out")));
        QTest::mouseClick(open, Qt::LeftButton);
        EXPECT_EQ(links_, std::vector<std::string>{path("documents/out").toStdString()});
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('|').toStdString();
}

}  // namespace
