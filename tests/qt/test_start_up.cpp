// SPDX-License-Identifier: MIT
// Start-up: the five windows in their order and for the program's whole
// life, the application's title, font and balloon hints, the event loop
// ending with the main window, and the default error report.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app_globals.h"
#include "application.h"
#include "balloon_hint.h"
#include "qt_desktop.h"
#include "quarvo/base/errors.h"
#include "recording_desktop.h"
#include "start_up.h"
#include "uAbout.h"
#include "uFileViewer.h"
#include "uSettings.h"
#include "uUnderConstruction.h"
#include "uZorezOrudaz_Main.h"

namespace {

class StartUp : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        desktop_.folders = [this](std::uint8_t) { return dir_.path().toStdString() + "/"; };
    }
    void TearDown() override { application()->setErrorReport(nullptr); }
    static QuarvoApplication* application() { return static_cast<QuarvoApplication*>(qApp); }
    QTemporaryDir dir_;
    RecordingDesktop desktop_;
};

TEST_F(StartUp, FiveWindowsAreMadeInOrderAndLiveUntilTheEnd) {
    {
        quarvo::ProgramWindows windows(desktop_);
        ASSERT_NE(fZorezOrudaz_Main, nullptr);
        EXPECT_EQ(windows.mainWindow(), fZorezOrudaz_Main);
        const QList<QDialog*> others =
            fZorezOrudaz_Main->findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
        const QList<QDialog*> expected{fSettings, fFileViewer, fAbout, fUnderConstruction};
        EXPECT_EQ(others, expected) << "help, file viewer, about, under construction";
        for (QDialog* dialog : expected) {
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(dialog->isVisible());
        }
        EXPECT_EQ(fZorezOrudaz_Main->parent(), nullptr);
    }
    EXPECT_EQ(fZorezOrudaz_Main, nullptr);
    EXPECT_EQ(fSettings, nullptr);
    EXPECT_EQ(fFileViewer, nullptr);
    EXPECT_EQ(fAbout, nullptr);
    EXPECT_EQ(fUnderConstruction, nullptr);
}

TEST_F(StartUp, ApplicationGetsTitleFontAndBalloonHints) {
    const auto hints = quarvo::setUpApplication(*qApp);
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Quarvo"));
    const QFont font = QApplication::font();
    EXPECT_EQ(font.pointSize(), 8);
    const QStringList preferred{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                "Arial",         "Nimbus Sans",          "Helvetica",
                                "DejaVu Sans"};
    for (const QString& face : preferred) {
        if (QFontDatabase::hasFamily(face)) {
            EXPECT_EQ(font.family(), face) << "the first face the system has";
            break;
        }
    }
    EXPECT_TRUE(QFontInfo(font).styleHint() == QFont::SansSerif || !QFontInfo(font).fixedPitch());

    QWidget widget;
    widget.setToolTip(QStringLiteral("Show the help-file"));
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), widget.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&widget, &help);
    ASSERT_NE(hints->balloon(), nullptr);
    EXPECT_EQ(hints->balloon()->header(),
              QStringLiteral("Quarvo - Opera Bookmarks and Contacts Export"));
    EXPECT_EQ(hints->balloon()->text(), QStringLiteral("Show the help-file"));
}

TEST_F(StartUp, EventLoopEndsWhenTheMainWindowCloses) {
    bool main_shown = false;
    bool others_hidden = false;
    QTimer::singleShot(0, [&] {
        main_shown = fZorezOrudaz_Main && fZorezOrudaz_Main->isVisible();
        others_hidden = !fSettings->isVisible() && !fFileViewer->isVisible() &&
                        !fAbout->isVisible() && !fUnderConstruction->isVisible();
        fAbout->show();  // another window still open does not keep the program alive
        fZorezOrudaz_Main->close();
    });
    // Should the loop not end, this ends it and the checks below fail.
    bool overran = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        overran = true;
        QCoreApplication::exit(99);
    });
    guard.start(20000);
    EXPECT_EQ(quarvo::runProgram(*qApp, desktop_), 0);
    EXPECT_FALSE(overran);
    EXPECT_TRUE(main_shown);
    EXPECT_TRUE(others_hidden);
    EXPECT_EQ(fZorezOrudaz_Main, nullptr) << "the windows end with the program";
    EXPECT_TRUE(ViewedFileName.empty());
}

// --- The default error report -------------------------------------------------

class Thrower : public QWidget {
  public:
    std::function<void()> on_press;

  protected:
    void mousePressEvent(QMouseEvent*) override { on_press(); }
};

TEST_F(StartUp, ErrorsEscapingEventHandlersReachTheReportAndTheProgramGoesOn) {
    QStringList reported;
    desktop_.on_error = [&](const QString& message) { reported << message; };
    application()->setErrorReport(&desktop_);
    QWidget window;
    auto* thrower = new Thrower;
    thrower->setParent(&window);
    thrower->resize(50, 50);
    auto* button = new QPushButton(QStringLiteral("next"), &window);
    button->move(60, 0);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    thrower->on_press = [] { throw quarvo::EFOpenError("/home/u/opera6.adr"); };
    QTest::mouseClick(thrower, Qt::LeftButton);
    thrower->on_press = [] { throw std::runtime_error("something else"); };
    QTest::mouseClick(thrower, Qt::LeftButton);
    EXPECT_EQ(reported, (QStringList{"Cannot open file /home/u/opera6.adr", "something else"}));

    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1) << "events are still delivered";
}

TEST_F(StartUp, ErrorInAConnectedHandlerStopsAtTheReport) {
    QStringList reported;
    desktop_.on_error = [&](const QString& message) { reported << message; };
    QPushButton button(QStringLiteral("Start conversion"));
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    int reached = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, quarvo::Reporting(desktop_, [&] {
        throw quarvo::EFCreateError("/ro/contacts.csv");
        ++reached;
    }));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(reported, (QStringList{"Cannot create file /ro/contacts.csv",
                                     "Cannot create file /ro/contacts.csv"}));
    EXPECT_EQ(reached, 0);
    EXPECT_FALSE(button.isDown()) << "the button was released normally";
}

// Answers the next modal box and returns what it showed.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

void answer_next_box(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = static_cast<int>(box->buttons().size());
        box->accept();
    });
}

TEST_F(StartUp, BoxesCarryTheApplicationTitle) {
    SeenBox error_box;
    answer_next_box(error_box);
    quarvo::QtDesktop desktop;
    desktop.ReportError(quarvo::EFOpenError("/tmp/x").what());
    EXPECT_EQ(error_box.title, QStringLiteral("Quarvo"));
    EXPECT_EQ(error_box.text, QStringLiteral("Cannot open file /tmp/x"));
    EXPECT_EQ(error_box.buttons, 1);

    SeenBox message_box;
    answer_next_box(message_box);
    desktop.ShowMessage("3 Contacts converted to CSV !");
    EXPECT_EQ(message_box.title, QStringLiteral("Quarvo"));
    EXPECT_EQ(message_box.text, QStringLiteral("3 Contacts converted to CSV !"));
    EXPECT_EQ(message_box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(message_box.buttons, 1);

    SeenBox question_box;
    answer_next_box(question_box);
    EXPECT_FALSE(desktop.AskToSaveAnyway("the first being \"\xE4\xB8\xAD\". Save anyway?"))
        << "only Save saves";
    EXPECT_EQ(question_box.title, QStringLiteral("Quarvo"));
    EXPECT_EQ(question_box.text, QStringLiteral("the first being \"\u4E2D\". Save anyway?"));
    EXPECT_EQ(question_box.icon, QMessageBox::Warning);
    EXPECT_EQ(question_box.buttons, 2);
}

}  // namespace
