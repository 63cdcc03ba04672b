// SPDX-License-Identifier: MIT
// The main window: its controls, the readiness states and counts, the
// conversion through the window, the File menu, errors reaching the error
// report, the default names of the creation step, and the other windows.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "app_globals.h"
#include "default_locations.h"
#include "file_name_edit.h"
#include "hot_track_glyph_button.h"
#include "hot_track_label.h"
#include "panel_status_bar.h"
#include "picture_box.h"
#include "qt_desktop.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "recording_desktop.h"
#include "shell_folders.h"
#include "speed_button.h"
#include "start_up.h"
#include "step_progress_bar.h"
#include "uAbout.h"
#include "uFileViewer.h"
#include "uSettings.h"
#include "uZorezOrudaz_Main.h"
#include "window_placement.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

constexpr char kContacts[] =
    "Opera Hotlist version 2.0\r\n\r\n"
    "#CONTACT\r\n\tNAME=Ada Lovelace\r\n\tMAIL=ada@example.org\r\n\r\n"
    "#CONTACT\r\n\tNAME=Charles Babbage\r\n\tMAIL=cb@example.org\r\n\r\n"
    "#CONTACT\r\n\tNAME=Mary Somerville\r\n\r\n";
constexpr char kHotlist[] =
    "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
    "#URL\r\n\tNAME=One\r\n\tURL=http://one.example/\r\n\r\n"
    "#FOLDER\r\n\tNAME=Folder\r\n\r\n"
    "#URL\r\n\tNAME=Two\r\n\tURL=http://two.example/\r\n\r\n-\r\n\r\n"
    "#URL\r\n\tNAME=Three #CONTACT in a name\r\n\tURL=http://three.example/\r\n\r\n";

std::string read_bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void write_bytes(const QString& path, std::string_view bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QString result_message(long long contacts, long long bookmarks) {
#ifdef _WIN32
    const QString line_break = QStringLiteral("\n\r");
#else
    const QString line_break = QStringLiteral("\n");  // no empty line between
#endif
    return QStringLiteral("%1 Contacts converted to CSV !%2%3 Bookmarks converted to HTM !")
        .arg(contacts)
        .arg(line_break)
        .arg(bookmarks);
}

// A plain file that exists and cannot be read, also for root: a file without
// permissions, or else a link to a write-only kernel setting. False when the
// machine offers neither.
bool make_unreadable(const QString& name) {
    write_bytes(name, kContacts);
    QFile::setPermissions(name, {});
    if (QFile file(name); !file.open(QIODevice::ReadOnly)) return true;
    QFile::remove(name);
    const QString write_only = QStringLiteral("/proc/sys/vm/drop_caches");
    if (QFile probe(write_only); !QFileInfo(write_only).isFile() || probe.open(QIODevice::ReadOnly))
        return false;
    return QFile::link(write_only, name);
}

// Contrast ratio of two colours as the web's accessibility guidelines define it.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Replaces the desktop (folder lookup and boxes), the home folder and the
// current folder for one test, and makes the five windows.
class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QApplication::setFont(quarvo::programFont());
        old_current_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        if (const char* home = std::getenv("HOME")) old_home_ = home;
        setenv("HOME", path("home").toLocal8Bit().constData(), 1);
        programs_ = path("programs/");
        documents_ = path("documents/");
        desktop_.folders = [this](std::uint8_t kind) { return lookUp(kind); };
        desktop_.on_message = [this](const QString& text) {
            messages_ << text;
            if (on_message_) on_message_();
        };
        desktop_.on_error = [this](const QString& text) { errors_ << text; };
    }

    void TearDown() override {
        windows_.reset();
        setenv("HOME", old_home_.c_str(), 1);
        QDir::setCurrent(old_current_);
        ViewedFileName.clear();
    }

    virtual std::string lookUp(std::uint8_t kind) {
        if (kind == quarvo::kProgramFilesFolder) return programs_.toStdString();
        if (kind == quarvo::kPersonalFolder) return documents_.toStdString();
        return {};
    }

    void makeWindows() {
        windows_ = std::make_unique<quarvo::ProgramWindows>(desktop_);
        main_ = windows_->mainWindow();
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString path(const char* name) const { return path(QString::fromUtf8(name)); }

    // The Opera files are counted off the window's thread: a look at the
    // window waits until the counts asked for so far have arrived.
    void settle() const {
        QDeadlineTimer deadline(10000);
        while (main_ != nullptr && main_->logic().Counting() && !deadline.hasExpired())
            QTest::qWait(2);
        EXPECT_FALSE(main_ != nullptr && main_->logic().Counting()) << "a count never arrived";
    }

    template <class T>
    T* child(const char* name) const {
        settle();
        T* found = main_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    quarvo::FileNameEdit* field(const char* name) const {
        return child<quarvo::FileNameEdit>(name);
    }
    QString panel(int index) const {
        return child<quarvo::PanelStatusBar>("StatusBar1")->panelText(index);
    }
    QAction* action(const char* name) const { return child<QAction>(name); }
    quarvo::HotTrackGlyphButton* startButton() const {
        return child<quarvo::HotTrackGlyphButton>("jhbStartConversion");
    }
    quarvo::SpeedButton* startSpeedButton() const {
        return child<quarvo::SpeedButton>("jsbStartConversion");
    }
    quarvo::StepProgressBar* progressBar() const {
        return child<quarvo::StepProgressBar>("ProgressBar");
    }

    void expectChooseState() const {
        EXPECT_EQ(panel(3), QStringLiteral("Status: Choose Opera Filnames"));
        EXPECT_FALSE(startButton()->isEnabled());
        EXPECT_FALSE(startSpeedButton()->isEnabled());
    }
    void expectReadyState() const {
        EXPECT_EQ(panel(3), QStringLiteral("Status: Ready to convert"));
        EXPECT_TRUE(startButton()->isEnabled());
        EXPECT_TRUE(startSpeedButton()->isEnabled());
    }

    QTemporaryDir dir_;
    QString old_current_;
    std::string old_home_;
    QString programs_;
    QString documents_;
    QStringList messages_;
    QStringList errors_;
    std::function<void()> on_message_;
    RecordingDesktop desktop_;
    std::unique_ptr<quarvo::ProgramWindows> windows_;
    TfZorezOrudaz_Main* main_ = nullptr;
};

// --- Controls ---------------------------------------------------------------

TEST_F(MainWindow, ControlsCarryTheirNamesTextsAndPlaces) {
    makeWindows();
    EXPECT_EQ(main_->objectName(), QStringLiteral("fZorezOrudaz_Main"));
    EXPECT_EQ(main_->windowTitle(), QStringLiteral("Quarvo"));
    EXPECT_EQ(main_->width(), 586);

    const struct {
        const char* name;
        int left, top;
        const char* text;
    } labels[] = {
        {"lblOpercaContactsFile", 24, 56, "Opera Contacts-File"},
        {"Label2", 24, 104, "Opera Bookmarks-File"},
        {"Label3", 24, 184, "Contacts-Output-File"},
        {"Label4", 24, 240, "Bookmark-Output-File"},
        {"Label1", 128, 296, "Quarvo"},
        {"Label5", 171, 320, "Version: 1.0"},
        {"Label6", 128, 352,
         "Convert your Opera Contacts to Windows Adressbook compatible CSV files "},
        {"Label7", 179, 368, "and Opera Bookmarks to Internet Explorer  compatible HTML files."},
    };
    for (const auto& l : labels) {
        const QLabel* label = child<QLabel>(l.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), l.text) << l.name;
        EXPECT_EQ(label->pos(), QPoint(l.left, l.top)) << l.name;
        const bool bold = std::string_view(l.name) != "Label5";
        EXPECT_EQ(label->font().bold(), bold) << l.name;
    }
    EXPECT_EQ(child<QLabel>("Label1")->font().pixelSize(), 24);

    const struct {
        const char* name;
        int top;
    } fields[] = {{"jfeOperaContactsFile", 72},
                  {"jfeOperaBookmarksFile", 120},
                  {"jfeContactsOutputFile", 200},
                  {"jfeBookmarksOutputFile", 256}};
    for (const auto& f : fields)
        EXPECT_EQ(field(f.name)->geometry(), QRect(16, f.top, 553, 21)) << f.name;

    EXPECT_EQ(child<quarvo::PictureBox>("Image1")->geometry(), QRect(8, 296, 105, 89));
    EXPECT_TRUE(child<quarvo::PictureBox>("Image1")->stretch());
    EXPECT_FALSE(child<quarvo::PictureBox>("Image1")->picture().isNull()) << "the logo";
    EXPECT_EQ(startButton()->geometry(), QRect(376, 304, 193, 25));
    EXPECT_EQ(startButton()->text(), QStringLiteral("Start conversion"));
    EXPECT_FALSE(startButton()->glyph().isNull());
    EXPECT_FALSE(startButton()->disabledGlyph().isNull());
    EXPECT_EQ(progressBar()->geometry(), QRect(0, 384, 586, 17));
    EXPECT_EQ(progressBar()->step(), 1);
    EXPECT_FALSE(progressBar()->isVisibleTo(main_));
    EXPECT_EQ(child<QWidget>("ToolBar1")->geometry(), QRect(0, 0, 586, 34));
}

TEST_F(MainWindow, ToolbarButtonsSitInOrderWithGlyphsAndHints) {
    makeWindows();
    const struct {
        const char* name;
        int left;
        const char* caption;
        const char* hint;
    } buttons[] = {
        {"jsbShowHelp", 0, "Help", "Show the help-file"},
        {"jsbShowContacts", 46, "Show contacts", "Show / edit the  opera contacts-files"},
        {"jsbShowBookmarks", 71, "Show Bookmarks", "Show / edit the opera bookmarks file"},
        {"jsbStartConversion", 117, "", "Start conversion"},
        {"jsbShowAbout", 163, "About", "About Quarvo"},
        {"jsbExit", 209, "Exit", "Exit Quarvo"},
    };
    for (const auto& b : buttons) {
        const quarvo::SpeedButton* button = child<quarvo::SpeedButton>(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->x(), b.left) << b.name;
        EXPECT_EQ(button->size(), QSize(25, 25)) << b.name;
        EXPECT_EQ(button->text().toStdString(), b.caption) << b.name;
        EXPECT_EQ(button->toolTip().toStdString(), b.hint) << b.name;
        EXPECT_FALSE(button->glyph().isNull()) << b.name;
        EXPECT_FALSE(button->disabledGlyph().isNull()) << b.name;
        EXPECT_EQ(button->palette().color(QPalette::Button), QColor(0, 255, 255)) << b.name;
    }
}

TEST_F(MainWindow, FieldsHaveTheirHintsFiltersAndTabOrder) {
    makeWindows();
    EXPECT_EQ(field("jfeOperaContactsFile")->toolTip(),
              QStringLiteral(
                  "Enter the complete  path and filename \nto your Opera-generated contacts file"));
    EXPECT_EQ(
        field("jfeOperaBookmarksFile")->toolTip(),
        QStringLiteral(
            "Enter the complete  path and filename \nto your Opera-generated bookmarks file"));
    EXPECT_EQ(
        field("jfeContactsOutputFile")->toolTip(),
        QStringLiteral("Enter the complete  path and filename \nwhere you want to store your \n"
                       "Outlook-Express compatible CSV \ncontacts file."));
    EXPECT_EQ(
        field("jfeBookmarksOutputFile")->toolTip(),
        QStringLiteral("Enter the complete  path and filename \nwhere you want to store your \n"
                       "Internet-Explorer compatible HTML \nbookmarks file."));

    EXPECT_EQ(field("jfeOperaContactsFile")->filter(), QStringLiteral("All files (*.*)|*.*"));
    EXPECT_EQ(field("jfeOperaBookmarksFile")->filter(), QStringLiteral("All files (*.*)|*.*"));
    EXPECT_EQ(field("jfeContactsOutputFile")->filter(),
              QStringLiteral("All files (*.*)|*.*|Comma separated values (*.csv)|*.csv"
                             "|vCard (*.vcf)|*.vcf"));
    EXPECT_EQ(field("jfeContactsOutputFile")->filterIndex(), 2);
    EXPECT_EQ(field("jfeBookmarksOutputFile")->filter(),
              QStringLiteral("All files (*.*)|*.*|Internet Website (*.htm)|*.htm"));
    EXPECT_EQ(field("jfeBookmarksOutputFile")->filterIndex(), 2);
    for (const char* name : {"jfeOperaContactsFile", "jfeContactsOutputFile"})
        EXPECT_EQ(field(name)->dialogTitle(), QStringLiteral("Browse")) << name;

    // A disabled start button takes no focus: make the window ready first.
    write_bytes(path("opera6.adr"), kHotlist);
    field("jfeOperaBookmarksFile")->setFileName(path("opera6.adr"));
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    field("jfeOperaContactsFile")->setFocus();
    const char* order[] = {"jfeOperaBookmarksFile", "jfeContactsOutputFile",
                           "jfeBookmarksOutputFile"};
    for (const char* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), field(next)->lineEdit()) << next;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    EXPECT_EQ(QApplication::focusWidget(), startButton());
}

TEST_F(MainWindow, MenuHoldsItsItemsWithPicturesAndStates) {
    makeWindows();
    const QMenuBar* bar = child<QMenuBar>("MainMenu1");
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Search", "&Contacts output",
                                   "Bookmar&ks output", "&Help"}));
    EXPECT_TRUE(child<QMenu>("File1")->menuAction()->isEnabled());
    EXPECT_FALSE(child<QMenu>("Edit1")->menuAction()->isEnabled());
    EXPECT_FALSE(child<QMenu>("Search1")->menuAction()->isEnabled());

    QStringList file_items;
    for (QAction* a : child<QMenu>("File1")->actions()) file_items << a->objectName();
    EXPECT_EQ(file_items,
              (QStringList{"Startconversion1", "ExportNotes", "ExportMail", "ExportProfile", "N1",
                           "OpenBookmarks", "OpenContacts", "N2", "Exit"}));

    const struct {
        const char* name;
        const char* caption;
        bool picture;
    } items[] = {
        {"Startconversion1", "&Start conversion", true},
        {"ExportNotes", "Export Opera &notes…", false},
        {"ExportMail", "Export Opera &mail…", false},
        {"OpenBookmarks", "Open Opera-&Bookmarks", true},
        {"OpenContacts", "Open Opera-&Contacts", true},
        {"Exit", "E&xit", true},
        {"Preferences", "&Preferences", false},
        {"AllOperaFilesContactsandBookmarks1", "&All Opera Files (Contacts and Bookmarks)", false},
        {"OperaBookmarkFiles1", "Opera-&Bookmark File", false},
        {"OperaContactsFiles1", "Opera-&Contacts File", false},
        {"Help", "&Help", true},
        {"CheckforUpdate", "&Check for Update", false},
        {"AboutQuarvo", "&About Quarvo", true},
    };
    for (const auto& item : items) {
        const QAction* a = action(item.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text().toStdString(), item.caption) << item.name;
        EXPECT_EQ(!a->icon().isNull(), item.picture) << item.name;
    }
    EXPECT_FALSE(action("CheckforUpdate")->isEnabled());
    EXPECT_FALSE(action("CheckforUpdate")->isVisible());
    EXPECT_EQ(child<QMenu>("File1")->defaultAction(), action("Startconversion1"));
    EXPECT_EQ(child<QMenu>("Help1")->defaultAction(), action("AboutQuarvo"));
}

TEST_F(MainWindow, NoTextIsCut) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    const QRect client = main_->centralWidget()->rect();
    for (const QLabel* label : main_->centralWidget()->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_GE(label->contentsRect().width(), needed) << label->objectName().toStdString();
        EXPECT_GE(label->height(), label->fontMetrics().height())
            << label->objectName().toStdString();
        EXPECT_TRUE(client.contains(label->geometry())) << label->objectName().toStdString();
    }
    const quarvo::HotTrackGlyphButton* start = startButton();
    EXPECT_GE(start->width(), start->fontMetrics().horizontalAdvance(start->text()) +
                                  start->iconSize().width() + 8);
    const quarvo::PanelStatusBar* status = child<quarvo::PanelStatusBar>("StatusBar1");
    for (int i = 0; i < status->panelCount(); ++i) {
        const QLabel* p = status->panel(i);
        EXPECT_GE(p->contentsRect().width(), p->fontMetrics().horizontalAdvance(p->text()))
            << "panel " << i;
        // No panel runs past the window's edge.
        EXPECT_LE(p->mapTo(main_, QPoint(p->width(), 0)).x(), main_->width()) << "panel " << i;
    }
}

// What a screen reader says for each control: the label beside a field,
// a caption, or else the first line of the hint; nothing is unnamed.
TEST_F(MainWindow, EveryControlHasTheNameItsLabelOrHintShows) {
    makeWindows();
    const auto name_of = [](QObject* control) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    };
    const struct {
        const char* field;
        const char* label;
    } fields[] = {
        {"jfeOperaContactsFile", "Opera Contacts-File"},
        {"jfeOperaBookmarksFile", "Opera Bookmarks-File"},
        {"jfeContactsOutputFile", "Contacts-Output-File"},
        {"jfeBookmarksOutputFile", "Bookmark-Output-File"},
    };
    for (const auto& f : fields) {
        const QString label = QString::fromLatin1(f.label);
        EXPECT_EQ(name_of(field(f.field)->lineEdit()), label) << f.field;
        EXPECT_EQ(name_of(field(f.field)->browseButton()),
                  QStringLiteral("Browse for the ") + label)
            << f.field;
    }
    EXPECT_EQ(name_of(startSpeedButton()), QStringLiteral("Start conversion"));
    EXPECT_EQ(name_of(child<quarvo::SpeedButton>("jsbShowHelp")), QStringLiteral("Help"));

    const struct {
        const char* button;
        const char* name;
    } viewer_buttons[] = {
        {"tbReload", "Reload file, discard all changes (F5)"},
        {"tbSaveAs", "Save as ... (Ctrl+Shift+S)"},
        {"tbSaveFile", "Save changes (Ctrl+S)"},
        {"tbSearch", "Search within this file"},
        {"tbClose", "Close, go back to Main-Window (Esc)"},
    };
    for (const auto& b : viewer_buttons) {
        auto* button = fFileViewer->findChild<QToolButton*>(QLatin1String(b.button));
        ASSERT_NE(button, nullptr) << b.button;
        EXPECT_EQ(name_of(button), QString::fromLatin1(b.name)) << b.button;
    }
    for (QWidget* window : {static_cast<QWidget*>(main_), static_cast<QWidget*>(fFileViewer)}) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const bool interactive = qobject_cast<QAbstractButton*>(control) ||
                                     qobject_cast<QLineEdit*>(control) ||
                                     qobject_cast<QAbstractScrollArea*>(control);
            // Qt's own parts (the menu bar's overflow button) are Qt's to name.
            const bool qts_own = control->objectName().startsWith(QLatin1String("qt_"));
            if (!interactive || qts_own || control->window() != window) continue;
            EXPECT_FALSE(name_of(control).trimmed().isEmpty())
                << control->metaObject()->className() << ' ' << control->objectName().toStdString();
        }
    }
}

// The program's boxes open centred over the window they belong to, and a
// long list scrolls inside a box that fits the screen.
TEST_F(MainWindow, BoxesAreCentredAndALongListFitsTheScreen) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    quarvo::QtDesktop desktop;
    desktop.setMainWindow(main_);
    QRect box_frame;
    QPlainTextEdit* list = nullptr;
    int list_lines = 0, scroll_range = 0;
    bool ok_shown = false;
    const auto look_then_close = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            box_frame = box->frameGeometry();
            list = box->findChild<QPlainTextEdit*>(QStringLiteral("ReportDetails"));
            if (list) {
                list_lines = list->document()->blockCount();
                scroll_range = list->verticalScrollBar()->maximum();
            }
            for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
                if (button->isVisible() && box->rect().contains(button->geometry()))
                    ok_shown = true;
            box->close();
        });
    };
    look_then_close();
    desktop.ShowMessage("3 Contacts converted to CSV !\n5 Bookmarks converted to HTM !");
    EXPECT_LE((box_frame.center() - main_->frameGeometry().center()).manhattanLength(), 2);

    std::string names;
    for (int i = 0; i < 1333; ++i) names += "\xC5\x81ukasz " + std::to_string(i) + ": '\xC5\x81'\n";
    look_then_close();
    desktop.ShowReport("1333 contacts have characters that Windows-1252 cannot hold", names);
    const QRect room = main_->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(box_frame)) << box_frame.height() << " high";
    EXPECT_LE((box_frame.center() - main_->frameGeometry().center()).manhattanLength(), 2);
    ASSERT_NE(list, nullptr);
    EXPECT_GE(list_lines, 1333);
    EXPECT_GT(scroll_range, 0) << "the list scrolls";
    EXPECT_TRUE(ok_shown);
}

TEST_F(MainWindow, DisabledStartCaptionIsReadableAndStillLooksDisabled) {
    makeWindows();
    main_->CountItems();
    ASSERT_FALSE(startButton()->isEnabled());
    const QPalette& colours = startButton()->palette();
    const double disabled = contrast(colours.color(QPalette::Disabled, QPalette::ButtonText),
                                     colours.color(QPalette::Disabled, QPalette::Button));
    const double enabled = contrast(colours.color(QPalette::Active, QPalette::ButtonText),
                                    colours.color(QPalette::Active, QPalette::Button));
    EXPECT_GE(disabled, 3.0);
    EXPECT_LT(disabled * 2, enabled) << "a disabled caption stays paler than an enabled one";
}

// --- Readiness and counts -----------------------------------------------------

TEST_F(MainWindow, StatusBarStartsWithItsCreationTexts) {
    makeWindows();
    EXPECT_FALSE(panel(0).isEmpty()) << "the maker's notice";
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks:"));
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts:"));
    EXPECT_EQ(panel(3), QStringLiteral("Status: Choose Opera Filnames"));
    EXPECT_TRUE(panel(4).isEmpty());
}

TEST_F(MainWindow, ReadinessForNoOneAndBothFiles) {
    makeWindows();
    main_->CountItems();
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 0"));
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 0"));
    expectChooseState();
    EXPECT_EQ(progressBar()->maxPosition(), 0);

    write_bytes(path("in/opera6.adr"), kHotlist);
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 3"));
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 0"))
        << "a #CONTACT in the hotlist is not counted";
    expectReadyState();
    EXPECT_EQ(progressBar()->maxPosition(), 3);

    write_bytes(path("in/contacts.adr"), kContacts);
    field("jfeOperaContactsFile")->setFileName(path("in/contacts.adr"));
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 3"));
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 3"));
    expectReadyState();
    EXPECT_EQ(progressBar()->maxPosition(), 6);

    field("jfeOperaBookmarksFile")->setFileName(path("in/missing.adr"));
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 0"));
    expectReadyState();
    field("jfeOperaContactsFile")->setText(QString());
    expectChooseState();
}

TEST_F(MainWindow, OutputFieldsPlayNoPartInReadiness) {
    makeWindows();
    write_bytes(path("out.csv"), "x");
    field("jfeContactsOutputFile")->setFileName(path("out.csv"));
    main_->CountItems();
    expectChooseState();
    field("jfeBookmarksOutputFile")->setFileName(path("out.csv"));
    EXPECT_EQ(panel(3), QStringLiteral("Status: Choose Opera Filnames"));
}

TEST_F(MainWindow, TypingRecountsSilentlyPastFoldersAndReportsAnUnreadableFileOnce) {
    write_bytes(path("a/contacts.adr"), kContacts);
    const bool have_unreadable = make_unreadable(path("a/locked.adr"));
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QLineEdit* edit = field("jfeOperaContactsFile")->lineEdit();
    edit->blockSignals(true);
    edit->setText(dir_.path());
    edit->blockSignals(false);

    // The keystrokes that name a folder on the way count nothing, raise no
    // box and are all kept; the state turns Ready with the last one.
    QTest::keyClicks(edit, QStringLiteral("/a/contacts.ad"));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('|')).toStdString();
    expectChooseState();
    QTest::keyClicks(edit, QStringLiteral("r"));
    expectReadyState();
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 3"));
    EXPECT_EQ(edit->text(), path("a/contacts.adr"));
#ifndef _WIN32
    // A pipe is nothing to convert either, and no box.
    ASSERT_EQ(mkfifo(path("a/pipe.adr").toLocal8Bit().constData(), 0600), 0);
    field("jfeOperaContactsFile")->setFileName(path("a/pipe.adr"));
    expectChooseState();
    EXPECT_TRUE(errors_.isEmpty());
#endif

    if (!have_unreadable) GTEST_SKIP() << "no file here that cannot be read";
    edit->clear();
    QTest::keyClicks(edit, path("a/locked.adr"));
    QTest::keyClick(edit, Qt::Key_X);
    QTest::keyClick(edit, Qt::Key_Backspace);
    main_->CountItems();
    settle();
    ASSERT_EQ(errors_.size(), 1) << "one box for the name, not one per recount";
    EXPECT_EQ(errors_.first(),
              QStringLiteral("Cannot open file ") + path("a/locked.adr") + ": Permission denied");
    expectChooseState();
    EXPECT_EQ(edit->text(), path("a/locked.adr"));
}

TEST_F(MainWindow, FirstShowingCountsOnceAndClosingAWindowDoesNotRecount) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QApplication::processEvents();
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 0")) << "FormActivate has counted";

    // A file that appears now shows only at the next change of a field.
    field("jfeOperaBookmarksFile")->lineEdit()->blockSignals(true);
    field("jfeOperaBookmarksFile")->setFileName(path("late.adr"));
    field("jfeOperaBookmarksFile")->lineEdit()->blockSignals(false);
    write_bytes(path("late.adr"), kHotlist);
    QTimer::singleShot(0, [] { fAbout->reject(); });
    main_->AboutQuarvoClick();
    main_->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 0"));
    expectChooseState();
}

// --- Conversion -------------------------------------------------------------

TEST_F(MainWindow, ConversionThroughTheButtonWritesBothFilesAndReportsTheCounts) {
    write_bytes(path("in/contacts.adr"), kContacts);
    write_bytes(path("in/opera6.adr"), kHotlist);
    makeWindows();
    field("jfeOperaContactsFile")->setFileName(path("in/contacts.adr"));
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeContactsOutputFile")->setFileName(path("out/my contacts.csv"));
    field("jfeBookmarksOutputFile")->setFileName(path("out/bookmark.htm"));
    QDir().mkpath(path("out"));
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));

    bool bar_shown_with_message = false;
    on_message_ = [&] { bar_shown_with_message = progressBar()->isVisible(); };
    QTest::mouseClick(startButton(), Qt::LeftButton);

    const auto contacts = quarvo::ConvertContactsText(kContacts);
    const auto bookmarks = quarvo::ConvertHotlistText(kHotlist);
    ASSERT_TRUE(bookmarks);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_.first(), result_message(contacts.named, bookmarks->bookmarks));
    EXPECT_EQ(read_bytes(path("out/my contacts.csv")), contacts.csv);
    EXPECT_EQ(read_bytes(path("out/bookmark.htm")), bookmarks->html);
    EXPECT_TRUE(bar_shown_with_message) << "the bar is visible until the message is closed";
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_GT(progressBar()->position(), 0) << "the conversions stepped the bar and it stays there";
    EXPECT_TRUE(errors_.isEmpty());
    main_->CountItems();
    EXPECT_EQ(progressBar()->position(), 0) << "a recount starts the bar over";
}

// The Contacts output menu used with the mouse and the output field typed
// into: one format is ticked at a time, the name's extension and the format
// follow each other, vCard 3.0 is never offered in Windows-1252, and the
// result names what was written.
TEST_F(MainWindow, ContactsOutputMenuOffersOneFormatAndTheOutputNameFollowsIt) {
    write_bytes(path("contacts.adr"), kContacts);
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QMenu* menu = child<QMenu>("ContactsOutput1");
    const auto checked = [menu] {
        QStringList names;
        for (QAction* a : menu->actions())
            if (a->isChecked()) names << a->objectName();
        return names;
    };
    const auto choose = [&](const char* name) {
        QMenuBar* bar = main_->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action(name)).center());
        EXPECT_FALSE(menu->isVisible());
    };
    quarvo::FileNameEdit* output = field("jfeContactsOutputFile");
    EXPECT_EQ(checked(), (QStringList{"LayoutWab", "EncodingUtf8"}));
    EXPECT_EQ(output->fileName(), documents_ + QStringLiteral("contacts.csv"));

    choose("Vcard21");
    EXPECT_EQ(checked(), (QStringList{"Vcard21", "EncodingUtf8"}));
    EXPECT_EQ(output->fileName(), documents_ + QStringLiteral("contacts.vcf"));
    EXPECT_TRUE(output->toolTip().contains(QStringLiteral("vCard 2.1")))
        << output->toolTip().toStdString();
    EXPECT_TRUE(action("KeepContactsTrash")->isEnabled());
    choose("EncodingAnsi");
    choose("Vcard30");
    EXPECT_EQ(checked(), (QStringList{"Vcard30", "EncodingUtf8"})) << "Windows-1252 let go";
    EXPECT_FALSE(action("EncodingAnsi")->isEnabled());
    choose("LayoutThunderbird");
    EXPECT_EQ(output->fileName(), documents_ + QStringLiteral("contacts.csv"));
    EXPECT_FALSE(action("KeepContactsTrash")->isEnabled());
    EXPECT_TRUE(action("EncodingAnsi")->isEnabled());

    // A name typed in ".vcf" chooses the vCard last chosen; another, the CSV.
    QLineEdit* typed = output->lineEdit();
    typed->setFocus();
    typed->selectAll();
    QTest::keyClicks(typed, path("mine.vcf"));
    EXPECT_EQ(checked(), (QStringList{"Vcard30", "EncodingUtf8"}));
    QTest::keyClick(typed, Qt::Key_Backspace);
    EXPECT_EQ(checked(), (QStringList{"LayoutThunderbird", "EncodingUtf8"}));
    QTest::keyClicks(typed, "f");

    field("jfeOperaContactsFile")->setFileName(path("contacts.adr"));
    main_->bbStartConvertClick();
    EXPECT_TRUE(read_bytes(path("mine.vcf")).starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_.first().startsWith(QStringLiteral("3 Contacts converted to vCard !")))
        << messages_.first().toStdString();
}

TEST_F(MainWindow, BookmarkFileMenuChoosesTheFlavourAndShowsTheDetailsApart) {
    write_bytes(path("in/opera6.adr"), kHotlist);
    makeWindows();
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeBookmarksOutputFile")->setFileName(path("b.htm"));
    EXPECT_TRUE(action("InternetExplorerFlavour")->isChecked()) << "the default at start";
    EXPECT_FALSE(action("KeepBookmarksTrash")->isEnabled());
    EXPECT_FALSE(action("ConversionDetails")->isEnabled()) << "nothing converted yet";

    action("BrowserFlavour")->trigger();
    EXPECT_TRUE(action("KeepBookmarksTrash")->isEnabled());
    action("Startconversion1")->trigger();
    quarvo::ConversionReport report;
    const auto browser = quarvo::ConvertHotlistTextForBrowsers(kHotlist, false, report);
    ASSERT_TRUE(browser);
    EXPECT_EQ(read_bytes(path("b.htm")), browser->html);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_.first(), result_message(0, browser->bookmarks));

    child<QMenu>("BookmarksOutput1")->popup(main_->mapToGlobal(QPoint(0, 0)));
    child<QMenu>("BookmarksOutput1")->hide();
    ASSERT_TRUE(action("ConversionDetails")->isEnabled());
    QString details;
    desktop_.on_report = [&](const QString&, const QString& list) { details = list; };
    action("ConversionDetails")->trigger();
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_TRUE(details.contains(QStringLiteral("bookmarks: 3"))) << details.toStdString();
}

// The menu's items in order with their texts (no access key twice), which
// of them each flavour offers, and the Speed Dial reaching the file written.
TEST_F(MainWindow, BookmarksOutputMenuOffersTheExtrasBesideEveryBrowsersFile) {
    makeWindows();
    const struct {
        const char* name;  // empty for a separator
        const char* text;
    } items[] = {
        {"InternetExplorerFlavour", "&Internet Explorer file"},
        {"BrowserFlavour", "&Firefox and Chromium file"},
        {"FirefoxBackupFlavour", "Firefox &backup (JSON)"},
        {"ChromiumFlavour", "&Chromium Bookmarks file"},
        {"", ""},
        {"KeepBookmarksTrash", "Keep Opera's &trash"},
        {"IncludeOperaLinks", "Include Speed Dial, sessions and search &engines"},
        {"", ""},
        {"ConversionDetails", "Conversion &details..."},
    };
    const QList<QAction*> actions = child<QMenu>("BookmarksOutput1")->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(items)));
    QString keys;
    for (qsizetype i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->objectName(), QString::fromUtf8(items[i].name));
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(items[i].text));
        const qsizetype amp = actions[i]->text().indexOf(u'&');
        if (amp < 0) continue;
        const QChar key = actions[i]->text().at(amp + 1).toLower();
        EXPECT_FALSE(keys.contains(key)) << "access key used twice: " << QString(key).toStdString();
        keys += key;
    }
    EXPECT_FALSE(action("IncludeOperaLinks")->isChecked()) << "off at start";
    const struct {
        const char* flavour;
        bool offered;
    } flavours[] = {{"FirefoxBackupFlavour", true},
                    {"InternetExplorerFlavour", false},
                    {"ChromiumFlavour", true},
                    {"BrowserFlavour", true}};
    for (const auto& f : flavours) {
        action(f.flavour)->trigger();
        EXPECT_TRUE(action(f.flavour)->isChecked()) << f.flavour;
        EXPECT_EQ(action("KeepBookmarksTrash")->isEnabled(), f.offered) << f.flavour;
        EXPECT_EQ(action("IncludeOperaLinks")->isEnabled(), f.offered) << f.flavour;
    }

    write_bytes(path("in/opera6.adr"), kHotlist);
    write_bytes(path("in/speeddial.ini"),
                "Opera Preferences version 2.1\r\n\r\n"
                "[Speed Dial 1]\r\nTitle=Dial\r\nUrl=http://dial.example/\r\n");
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeBookmarksOutputFile")->setFileName(path("b.htm"));
    action("IncludeOperaLinks")->trigger();
    action("Startconversion1")->trigger();
    EXPECT_NE(read_bytes(path("b.htm")).find("http://dial.example/"), std::string::npos);
}

TEST_F(MainWindow, ToolbarButtonAndMenuItemConvertToo) {
    write_bytes(path("in/opera6.adr"), kHotlist);
    write_bytes(path("c.csv"), "old");
    makeWindows();
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeContactsOutputFile")->setFileName(path("c.csv"));
    field("jfeBookmarksOutputFile")->setFileName(path("b.htm"));
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QTest::mouseClick(startSpeedButton(), Qt::LeftButton);
    action("Startconversion1")->trigger();
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_.at(0), result_message(0, 3)) << "a missing contacts file converts nothing";
    EXPECT_EQ(messages_.at(1), messages_.at(0));
    EXPECT_EQ(read_bytes(path("c.csv")), "old") << "and its output stays as it was";
    EXPECT_FALSE(read_bytes(path("b.htm")).empty());
}

TEST_F(MainWindow, AnOutputThatIsAnInputOrTheOtherOutputConvertsNothing) {
    const struct {
        const char *bookmarks_out, *same, *as;
    } cases[] = {
        {"in/opera6.adr", "in/opera6.adr", "in/opera6.adr"},
        {"in/../c.csv", "in/../c.csv", "c.csv"},
    };
    write_bytes(path("in/contacts.adr"), kContacts);
    write_bytes(path("in/opera6.adr"), kHotlist);
    makeWindows();
    field("jfeOperaContactsFile")->setFileName(path("in/contacts.adr"));
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeContactsOutputFile")->setFileName(path("c.csv"));
    for (const auto& c : cases) {
        errors_.clear();
        field("jfeBookmarksOutputFile")->setFileName(path(c.bookmarks_out));
        QTest::mouseClick(startButton(), Qt::LeftButton);
        ASSERT_EQ(errors_.size(), 1) << c.bookmarks_out;
        EXPECT_TRUE(errors_.first().contains(path(c.same)) && errors_.first().contains(path(c.as)))
            << errors_.first().toStdString();
        EXPECT_TRUE(messages_.isEmpty()) << "no result message";
        EXPECT_FALSE(QFile::exists(path("c.csv"))) << "nothing converted";
        EXPECT_EQ(read_bytes(path("in/opera6.adr")), kHotlist);
        EXPECT_FALSE(progressBar()->isVisible());
    }
}

TEST_F(MainWindow, UnsupportedHotlistShowsItsMessageThenTheResultWithMinusOne) {
    write_bytes(path("in/opera6.adr"), "Opera Hotlist version 3.0\r\n\r\n#URL\r\n\tNAME=x\r\n\r\n");
    write_bytes(path("b.htm"), "untouched");
    makeWindows();
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeContactsOutputFile")->setFileName(path("c.csv"));
    field("jfeBookmarksOutputFile")->setFileName(path("b.htm"));
    main_->bbStartConvertClick();
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_.at(0).toStdString(), quarvo::kUnknownVersionMessage);
    EXPECT_EQ(messages_.at(1), result_message(0, -1));
    EXPECT_EQ(read_bytes(path("b.htm")), "untouched");
}

TEST_F(MainWindow, ErrorInTheContactsConversionStopsTheActionAndLeavesTheBarShown) {
    write_bytes(path("in/contacts.adr"), kContacts);
    write_bytes(path("in/opera6.adr"), kHotlist);
    makeWindows();
    field("jfeOperaContactsFile")->setFileName(path("in/contacts.adr"));
    field("jfeOperaBookmarksFile")->setFileName(path("in/opera6.adr"));
    field("jfeContactsOutputFile")->setFileName(path("no such folder/c.csv"));
    field("jfeBookmarksOutputFile")->setFileName(path("b.htm"));
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QTest::mouseClick(startButton(), Qt::LeftButton);
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_EQ(errors_.first(), QStringLiteral("Cannot create file ") +
                                   path("no such folder/c.csv") + ": No such file or directory");
    EXPECT_TRUE(messages_.isEmpty()) << "no result message";
    EXPECT_FALSE(QFile::exists(path("b.htm"))) << "the hotlist conversion did not run";
    EXPECT_TRUE(progressBar()->isVisible());

    field("jfeContactsOutputFile")->setFileName(path("c.csv"));
    QTest::mouseClick(startButton(), Qt::LeftButton);
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_FALSE(progressBar()->isVisible()) << "a later conversion hides it";
}

TEST_F(MainWindow, CorpusFilesConvertToTheSameBytesAsTheCommandLineConverter) {
    const QDir corpus(QStringLiteral(QUARVO_CORPUS_DIR));
    const QString contacts_in = corpus.filePath(QStringLiteral("opera-config__contacts.adr"));
    const QString hotlist_in = corpus.filePath(QStringLiteral("Bookmarks-Parser__opera6.adr"));
    if (!QFile::exists(contacts_in) || !QFile::exists(hotlist_in))
        GTEST_SKIP() << "corpus not beside the project";
    makeWindows();
    field("jfeOperaContactsFile")->setFileName(contacts_in);
    field("jfeOperaBookmarksFile")->setFileName(hotlist_in);
    field("jfeContactsOutputFile")->setFileName(path("window.csv"));
    field("jfeBookmarksOutputFile")->setFileName(path("window.htm"));
    main_->bbStartConvertClick();

    QProcess converter;
    converter.start(QStringLiteral(QUARVO_CONVERT),
                    {QStringLiteral("--contacts"), contacts_in, path("tool.csv"),
                     QStringLiteral("--bookmarks"), hotlist_in, path("tool.htm")});
    ASSERT_TRUE(converter.waitForFinished(60000));
    ASSERT_EQ(converter.exitCode(), 0) << converter.readAllStandardError().toStdString();
    const QStringList counts = QString::fromLatin1(converter.readAllStandardOutput())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(counts.size(), 2);
    ASSERT_EQ(messages_.size(), 1);
    // The converter prints the two lines of the window's message.
    EXPECT_EQ(messages_.first(),
              result_message(counts.at(0).section(QLatin1Char(' '), 0, 0).toLongLong(),
                             counts.at(1).section(QLatin1Char(' '), 0, 0).toLongLong()));
    EXPECT_EQ(read_bytes(path("window.csv")), read_bytes(path("tool.csv")));
    EXPECT_EQ(read_bytes(path("window.htm")), read_bytes(path("tool.htm")));
    EXPECT_FALSE(read_bytes(path("window.htm")).empty());
}

// --- File menu and the other windows ---------------------------------------------

TEST_F(MainWindow, FileMenuEnablesStartConversionWhenItOpens) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    QMenu* file_menu = child<QMenu>("File1");
    file_menu->popup(main_->mapToGlobal(QPoint(0, 0)));
    EXPECT_FALSE(action("Startconversion1")->isEnabled());
    file_menu->hide();

    write_bytes(path("contacts.adr"), kContacts);
    field("jfeOperaContactsFile")->lineEdit()->blockSignals(true);
    field("jfeOperaContactsFile")->setFileName(path("contacts.adr"));
    field("jfeOperaContactsFile")->lineEdit()->blockSignals(false);
    EXPECT_FALSE(action("Startconversion1")->isEnabled()) << "only opening the menu decides";
    file_menu->popup(main_->mapToGlobal(QPoint(0, 0)));
    EXPECT_TRUE(action("Startconversion1")->isEnabled());
    file_menu->hide();

    QFile::remove(path("contacts.adr"));
    file_menu->popup(main_->mapToGlobal(QPoint(0, 0)));
    EXPECT_FALSE(action("Startconversion1")->isEnabled());
    file_menu->hide();
}

TEST_F(MainWindow, ViewerOpensModallyForEitherInputNameExistingOrNot) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    field("jfeOperaContactsFile")->setFileName(path("missing contacts.adr"));
    field("jfeOperaBookmarksFile")->setFileName(path("missing.adr"));
    settle();  // no count left to arrive while the viewer is looked for
    errors_.clear();

    QWidget* modal = nullptr;
    const auto close_viewer = [&] {
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            fFileViewer->reject();
        });
    };
    close_viewer();
    QTest::mouseClick(child<quarvo::SpeedButton>("jsbShowContacts"), Qt::LeftButton);
    EXPECT_EQ(modal, fFileViewer);
    EXPECT_EQ(ViewedFileName, (path("missing contacts.adr")).toStdString());

    modal = nullptr;
    close_viewer();
    action("OpenBookmarks")->trigger();
    EXPECT_EQ(modal, fFileViewer);
    EXPECT_EQ(ViewedFileName, path("missing.adr").toStdString());
}

TEST_F(MainWindow, HelpAndAboutOpenModally) {
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    settle();  // no count left to arrive while a box is looked for
    const auto expect_modal = [](QDialog* dialog, const std::function<void()>& open) {
        QWidget* modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            dialog->reject();
        });
        open();
        EXPECT_EQ(modal, dialog);
    };
    expect_modal(fSettings, [&] {
        QTest::mouseClick(child<quarvo::SpeedButton>("jsbShowHelp"), Qt::LeftButton);
    });
    expect_modal(fSettings, [&] { action("Help")->trigger(); });
    expect_modal(fAbout, [&] {
        QTest::mouseClick(child<quarvo::SpeedButton>("jsbShowAbout"), Qt::LeftButton);
    });
    expect_modal(fAbout, [&] { action("AboutQuarvo")->trigger(); });
    expect_modal(fAbout,
                 [&] { QTest::mouseDClick(child<quarvo::PictureBox>("Image1"), Qt::LeftButton); });
    for (const char* label : {"Label1", "Label5", "Label6", "Label7"})
        expect_modal(fAbout, [&] {
            QTest::mouseDClick(child<quarvo::HotTrackLabel>(label), Qt::LeftButton);
        });
}

TEST(WindowPlacement, TheFrameIsCentredOverTheOwnersAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QMargins title_bar(1, 21, 1, 4);
    const QRect owner(347, 288, 588, 468);
    const QRect place = quarvo::centredPlace(QSize(458, 331), title_bar, owner, screen);
    EXPECT_EQ(place.size(), QSize(458, 331));
    const QPoint offset = place.marginsAdded(title_bar).center() - owner.center();
    EXPECT_LE(offset.manhattanLength(), 1) << offset.x() << "," << offset.y();
    const QRect off_screen_owner(-400, 800, 588, 468);
    EXPECT_TRUE(
        screen.contains(quarvo::centredPlace(QSize(458, 331), title_bar, off_screen_owner, screen)
                            .marginsAdded(title_bar)));
}

TEST_F(MainWindow, ExitClosesTheWindow) {
    makeWindows();
    for (const std::function<void()>& exit :
         {std::function<void()>(
              [&] { QTest::mouseClick(child<quarvo::SpeedButton>("jsbExit"), Qt::LeftButton); }),
          std::function<void()>([&] { action("Exit")->trigger(); })}) {
        main_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
        QSignalSpy closed(main_, &TfZorezOrudaz_Main::closed);
        exit();
        EXPECT_FALSE(main_->isVisible());
        EXPECT_EQ(closed.count(), 1);
    }
}

// --- Default names at creation ----------------------------------------------------

TEST_F(MainWindow, DefaultsFromProgramFilesAndDocuments) {
    write_bytes(programs_ + QStringLiteral("Opera/profile/contacts.adr"), kContacts);
    write_bytes(programs_ + QStringLiteral("Opera/profile/opera6.adr"), kHotlist);
    makeWindows();
    EXPECT_EQ(main_->logic().ProgramFilesPath(), programs_.toStdString());
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(),
              programs_ + QStringLiteral("Opera/profile/contacts.adr"));
    EXPECT_EQ(field("jfeOperaBookmarksFile")->fileName(),
              programs_ + QStringLiteral("Opera/profile/opera6.adr"));
    EXPECT_EQ(field("jfeContactsOutputFile")->fileName(),
              documents_ + QStringLiteral("contacts.csv"));
    EXPECT_EQ(field("jfeBookmarksOutputFile")->fileName(),
              documents_ + QStringLiteral("bookmark.htm"));
    // Setting the names was a change like any other: the counts are there.
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 3"));
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 3"));
    expectReadyState();
}

TEST_F(MainWindow, WithoutOperaFilesInputsStayEmptyAndOutputsAreStillSet) {
    makeWindows();
    EXPECT_TRUE(field("jfeOperaContactsFile")->text().isEmpty());
    EXPECT_TRUE(field("jfeOperaBookmarksFile")->text().isEmpty());
    EXPECT_EQ(field("jfeContactsOutputFile")->fileName(),
              documents_ + QStringLiteral("contacts.csv"));
    EXPECT_EQ(field("jfeBookmarksOutputFile")->fileName(),
              documents_ + QStringLiteral("bookmark.htm"));
}

TEST_F(MainWindow, NamesWithABlankShowBetweenQuotes) {
    programs_ = path("Program Files/");
    write_bytes(programs_ + QStringLiteral("Opera/profile/contacts.adr"), kContacts);
    makeWindows();
    const QString name = programs_ + QStringLiteral("Opera/profile/contacts.adr");
    EXPECT_EQ(field("jfeOperaContactsFile")->text(), QLatin1Char('"') + name + QLatin1Char('"'));
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(), name);
    EXPECT_EQ(panel(2), QStringLiteral("# Contacts: 3"));
}

TEST_F(MainWindow, HomeProfileIsTheFallbackForTheInputs) {
    write_bytes(path("home/.opera/contacts.adr"), kContacts);
    write_bytes(path("home/.opera/bookmarks.adr"), kHotlist);
    makeWindows();
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(), path("home/.opera/contacts.adr"));
    EXPECT_EQ(field("jfeOperaBookmarksFile")->fileName(), path("home/.opera/bookmarks.adr"));
    windows_.reset();

    write_bytes(path("home/.opera/opera6.adr"), kHotlist);
    makeWindows();
    EXPECT_EQ(field("jfeOperaBookmarksFile")->fileName(), path("home/.opera/opera6.adr"))
        << "opera6.adr comes before bookmarks.adr";
    windows_.reset();

    // Outside Windows, Opera keeps the user's profile in the home folder;
    // the Program Files stand-in (/opt) comes after it.
    write_bytes(programs_ + QStringLiteral("Opera/profile/opera6.adr"), kHotlist);
    makeWindows();
    EXPECT_EQ(field("jfeOperaBookmarksFile")->fileName(), path("home/.opera/opera6.adr"))
        << "the home profile comes first";
    windows_.reset();

    QFile::remove(path("home/.opera/opera6.adr"));
    QFile::remove(path("home/.opera/bookmarks.adr"));
    makeWindows();
    EXPECT_EQ(field("jfeOperaBookmarksFile")->fileName(),
              programs_ + QStringLiteral("Opera/profile/opera6.adr"))
        << "then the Program Files profile";
}

// Only a file that can be read is a default name; one chosen by hand that
// cannot be read is reported once and is nothing to convert.
TEST_F(MainWindow, UnreadableContactsFileIsNoDefaultAndIsReportedOnceWhenChosen) {
    const QString contacts = programs_ + QStringLiteral("Opera/profile/contacts.adr");
    if (!make_unreadable(contacts)) GTEST_SKIP() << "no file here that cannot be read";
    write_bytes(programs_ + QStringLiteral("Opera/profile/opera6.adr"), kHotlist);
    makeWindows();
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_));
    settle();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(), QString());
    field("jfeOperaContactsFile")->setText(contacts);
    settle();
    ASSERT_EQ(errors_.size(), 1) << errors_.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(errors_.first(),
              QStringLiteral("Cannot open file ") + contacts + ": Permission denied");
    expectReadyState();
    EXPECT_EQ(panel(1), QStringLiteral("# Bookmarks: 3"));

    field("jfeOperaBookmarksFile")->setText(QString());
    expectChooseState();
    QMenu* file_menu = child<QMenu>("File1");
    file_menu->popup(main_->mapToGlobal(QPoint(0, 0)));
    EXPECT_FALSE(action("Startconversion1")->isEnabled());
    file_menu->hide();
    EXPECT_EQ(errors_.size(), 1);
}

class MainWindowWithoutFolders : public MainWindow {
  protected:
    std::string lookUp(std::uint8_t) override { return {}; }
};

TEST_F(MainWindowWithoutFolders, NamesAreRelativeToTheCurrentFolder) {
    write_bytes(path("Opera/profile/contacts.adr"), kContacts);
    makeWindows();
    EXPECT_EQ(main_->logic().ProgramFilesPath(), "");
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(),
              QStringLiteral("Opera/profile/contacts.adr"));
    EXPECT_TRUE(field("jfeOperaBookmarksFile")->text().isEmpty());
    EXPECT_EQ(field("jfeContactsOutputFile")->fileName(), QStringLiteral("contacts.csv"));
    EXPECT_EQ(field("jfeBookmarksOutputFile")->fileName(), QStringLiteral("bookmark.htm"));
}

class MainWindowWithFailingDocuments : public MainWindow {
  protected:
    std::string lookUp(std::uint8_t kind) override {
        looked_up_before_other_windows_ = looked_up_before_other_windows_ && fSettings == nullptr;
        if (kind == quarvo::kPersonalFolder)
            throw quarvo::Exception("Failed to get data for 'Personal'");
        return MainWindow::lookUp(kind);
    }
    bool looked_up_before_other_windows_ = true;
};

TEST_F(MainWindowWithFailingDocuments, ErrorEndsTheCreationStepAndStartUpGoesOn) {
    write_bytes(programs_ + QStringLiteral("Opera/profile/contacts.adr"), kContacts);
    makeWindows();
    EXPECT_TRUE(looked_up_before_other_windows_)
        << "the creation step runs before the help window exists";
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_EQ(errors_.first(), QStringLiteral("Failed to get data for 'Personal'"));
    EXPECT_EQ(field("jfeOperaContactsFile")->fileName(),
              programs_ + QStringLiteral("Opera/profile/contacts.adr"))
        << "what was set before the error stays";
    EXPECT_EQ(field("jfeContactsOutputFile")->text(),
              QStringLiteral("C:\\WindowsAddressbookContactsImport.csv"))
        << "the layout's text stays";
    EXPECT_EQ(field("jfeBookmarksOutputFile")->text(),
              QStringLiteral("C:\\InternetExplorerBookmarksImport.htm"));
    EXPECT_NE(fUnderConstruction, nullptr) << "all windows were made";
}

}  // namespace
