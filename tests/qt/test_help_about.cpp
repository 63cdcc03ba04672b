// SPDX-License-Identifier: MIT
// The help, about and under-construction windows: what each control does
// when clicked, the mail link handed to the desktop, and the help text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "app_globals.h"
#include "hot_track_label.h"
#include "picture_box.h"
#include "recording_desktop.h"
#include "uAbout.h"
#include "uSettings.h"
#include "uUnderConstruction.h"

namespace {

class AboutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        desktop_.setMainWindow(&main_window_);
        desktop_.on_link = [this](const std::string& link, QWidget* owner) {
            links_.push_back(link);
            owners_.push_back(owner);
        };
        about_.show();
    }

    QWidget* Control(const char* name) {
        auto* widget = about_.findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) {
        QWidget* widget = Control(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    QWidget main_window_;
    RecordingDesktop desktop_;
    TfAbout about_{desktop_, &main_window_};
    std::vector<std::string> links_;
    std::vector<QWidget*> owners_;
};

TEST_F(AboutTest, MailControlsOpenTheLinkAndLeaveTheWindowOpen) {
    const std::string expected =
        "mailto:" + static_cast<QLabel*>(Control("lblEmail"))->text().toStdString() +
        "?subject=Quarvo: ";
    for (const char* name : {"lblEmail", "JvLabel1", "Image2"}) {
        links_.clear();
        owners_.clear();
        Click(name);
        ASSERT_EQ(links_.size(), 1u) << name;
        EXPECT_EQ(links_[0], expected) << name;
        EXPECT_EQ(owners_[0], &main_window_) << name;
        EXPECT_TRUE(about_.isVisible()) << name;
    }
}

TEST_F(AboutTest, ADoubleClickOnAMailControlOpensTheLinkOncePerClickEvent) {
    for (const char* name : {"lblEmail", "JvLabel1", "Image2"}) {
        links_.clear();
        QWidget* widget = Control(name);
        const QPointF at = widget->rect().center();
        // A window system's double click: the second press brings a
        // double-click event, then its release follows.
        for (const QEvent::Type type :
             {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
        EXPECT_EQ(links_.size(), 2u) << name << ": one click and one double click";
    }
}

TEST_F(AboutTest, TheOtherControlsAndTheFreeAreaCloseTheWindow) {
    for (const char* name : {"Image1", "Label1", "Label2", "Label6", "Label7"}) {
        about_.show();
        Click(name);
        EXPECT_FALSE(about_.isVisible()) << name;
    }
    about_.show();
    const QPoint free_area(about_.width() - 4, 4);
    ASSERT_EQ(about_.childAt(free_area), nullptr);
    QTest::mouseClick(&about_, Qt::LeftButton, {}, free_area);
    EXPECT_FALSE(about_.isVisible());

    about_.show();
    QWidget* picture = Control("Image1");
    QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
    EXPECT_FALSE(about_.isVisible());
    EXPECT_TRUE(links_.empty());
}

TEST_F(AboutTest, TheAuthorCaptionDoesNothing) {
    Click("Label3");
    EXPECT_TRUE(about_.isVisible());
    EXPECT_TRUE(links_.empty());
    EXPECT_EQ(static_cast<QLabel*>(Control("Label3"))->text(), QStringLiteral("Author & Contact:"));
}

TEST_F(AboutTest, MailControlsShowTheHandPointer) {
    for (const char* name : {"lblEmail", "JvLabel1", "Image2"}) {
        EXPECT_EQ(Control(name)->cursor().shape(), Qt::PointingHandCursor) << name;
    }
    for (const char* name : {"Label1", "Label3", "Image1"}) {
        EXPECT_NE(Control(name)->cursor().shape(), Qt::PointingHandCursor) << name;
    }
}

TEST_F(AboutTest, PicturesAndTextsFitTheWindow) {
    EXPECT_EQ(about_.windowTitle(), QStringLiteral("Quarvo - [About]"));
    EXPECT_EQ(Control("JvLabel1")->geometry(), QRect(329, 136, 113, 52));
    EXPECT_EQ(Control("Image2")->geometry(), QRect(320, 184, 121, 97));
    for (const char* name : {"Image1", "Image2"}) {
        EXPECT_FALSE(static_cast<quarvo::PictureBox*>(Control(name))->picture().isNull()) << name;
    }
    for (QLabel* label : about_.findChildren<QLabel*>()) {
        if (qobject_cast<quarvo::PictureBox*>(label) || label->wordWrap()) continue;
        // Unclipped: the label is as wide as its text and inside the window.
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
        EXPECT_TRUE(about_.rect().contains(label->geometry())) << label->objectName().toStdString();
    }
}

class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_about_ = fAbout;
        fAbout = &about_;
        help_.show();
    }
    void TearDown() override { fAbout = saved_about_; }

    QPlainTextEdit* Memo() { return help_.findChild<QPlainTextEdit*>(QStringLiteral("Memo1")); }

    RecordingDesktop desktop_;
    TfAbout about_{desktop_};
    TfSettings help_;
    TfAbout* saved_about_ = nullptr;
};

TEST_F(HelpTest, AboutOpenedFromHelpReturnsToHelp) {
    for (const char* name : {"Image1", "Label1", "Label5", "Label6", "Label7"}) {
        bool about_was_modal = false;
        QTimer::singleShot(0, [&] {
            about_was_modal = QApplication::activeModalWidget() == &about_;
            auto* close_label = about_.findChild<QWidget*>(QStringLiteral("Label1"));
            QTest::mouseClick(close_label, Qt::LeftButton, {}, close_label->rect().center());
        });
        QWidget* control = help_.findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        QTest::mouseDClick(control, Qt::LeftButton, {}, control->rect().center());
        EXPECT_TRUE(about_was_modal) << name;
        EXPECT_FALSE(about_.isVisible()) << name;
        EXPECT_TRUE(help_.isVisible()) << name;
    }
}

TEST_F(HelpTest, TheHelpTextCannotBeChangedButScrolls) {
    QPlainTextEdit* memo = Memo();
    ASSERT_NE(memo, nullptr);
    const QString before = memo->toPlainText();
    ASSERT_FALSE(before.isEmpty());
    memo->setFocus();
    QTest::keyClicks(memo, "typed");
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), before);

    QScrollBar* bar = memo->verticalScrollBar();
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(bar->value(), 0);
    EXPECT_TRUE(memo->viewport()->rect().contains(memo->cursorRect()));
    EXPECT_TRUE(memo->textCursor().atEnd());
}

// The places are named in the order the program looks in them, the home
// profile first on Linux.
TEST_F(HelpTest, TheHelpTextNamesThePlacesInTheOrderTheyAreSearched) {
    const QString text = Memo()->toPlainText();
#ifndef _WIN32
    const qsizetype home = text.indexOf(QStringLiteral("\"~/.opera\""));
    const qsizetype opt = text.indexOf(QStringLiteral("\"/opt/Opera/profile\""));
    ASSERT_GE(home, 0);
    ASSERT_GE(opt, 0);
    EXPECT_LT(home, opt);
#endif
    EXPECT_TRUE(text.contains(QStringLiteral("operaprefs.ini")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Contacts output\" menu")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Bookmarks output\" menu")));
}

TEST_F(HelpTest, TheHelpTextHasItsSectionsAndTheFieldMapping) {
    const QStringList lines = Memo()->toPlainText().split(QLatin1Char('\n'));
    const struct {
        const char* heading;
        bool starred;
    } sections[] = {
        {"Installation:", true},
        {"Why:", true},
        {"How:", true},
        {"Output menus:", true},
        {"The file viewer:", true},
        {"For CONTACTS:", false},
        {"For BOOKMARKS:", false},
        {"Known Problems / Limitations:", true},
        {"Finaly:", true},
    };
    qsizetype previous = -1;
    qsizetype last_section = -1;
    for (const auto& section : sections) {
        const QString heading = QString::fromLatin1(section.heading);
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
            return line.startsWith(heading);
        });
        ASSERT_NE(found, lines.end()) << section.heading;
        const QString rest = found->mid(heading.size()).trimmed();
        if (section.starred) {
            EXPECT_FALSE(rest.isEmpty()) << section.heading;
            EXPECT_EQ(rest, QString(rest.size(), QLatin1Char('*'))) << section.heading;
        } else {
            EXPECT_TRUE(rest.isEmpty()) << section.heading;
        }
        const qsizetype at = found - lines.begin();
        EXPECT_GT(at, previous) << section.heading;
        previous = at;
        last_section = at;
    }

    const QStringList mapping = {
        QStringLiteral("OPERA=>WAB"),
        QStringLiteral("Name => Name"),
        QStringLiteral("Url => Web page"),
        QStringLiteral("Created => Notes"),
        QStringLiteral("Description => Notes"),
        QStringLiteral("ShortName => Nickname"),
        QStringLiteral("Active => Notes"),
        QStringLiteral("Mail => e-mail"),
        QStringLiteral("Phone => Home Phone"),
        QStringLiteral("Fax => Home Fax"),
        QStringLiteral("Address => Home Street"),
        QStringLiteral("Picture =>  Business Web Page"),
    };
    const qsizetype start = lines.indexOf(mapping.first());
    ASSERT_GE(start, 0);
    EXPECT_EQ(lines.mid(start, mapping.size()), mapping);
    EXPECT_LT(start, last_section);

    // Where the program looks for the Opera files, every place filled in.
    const QString text = lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Opera\\profile\" under the\nProgram Files")));
#ifndef _WIN32
    EXPECT_TRUE(text.contains(QStringLiteral("\"/opt/Opera/profile\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"~/.opera\"")));
#endif
    EXPECT_FALSE(text.contains(QStringLiteral("@QUARVO")));
}

TEST_F(HelpTest, TheCloseButtonClosesIt) {
    auto* close = help_.findChild<QPushButton*>(QStringLiteral("jhbStartConversion"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Close"));
    EXPECT_EQ(close->geometry(), QRect(8, 414, 569, 25));
    QApplication::setActiveWindow(&help_);
    Memo()->setFocus();
    QTest::keyClick(Memo(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), close);
    close->click();
    EXPECT_FALSE(help_.isVisible());
}

TEST(UnderConstruction, IsNotShownWhenCreatedAndAClickOnItsPictureClosesIt) {
    TfUnderConstruction window;
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);

    window.show();
    auto* picture = window.findChild<quarvo::PictureBox*>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->picture().isNull());
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
