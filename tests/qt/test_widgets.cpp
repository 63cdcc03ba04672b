// SPDX-License-Identifier: MIT
// The widget set: the file-name edit's name rules, change events and browse
// dialog; the glyph buttons; hot tracking; the clickable label and picture;
// the stepped progress bar; the panel status bar; the balloon hints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <optional>

#include "balloon_hint.h"
#include "file_name_edit.h"
#include "hot_track_glyph_button.h"
#include "hot_track_label.h"
#include "image_list.h"
#include "panel_status_bar.h"
#include "picture_box.h"
#include "quarvo/base/errors.h"
#include "speed_button.h"
#include "step_progress_bar.h"

namespace {

QImage image_of(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QPixmap filled(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

void hover(QWidget* widget) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(widget, &enter);
}

void unhover(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

// --- File-name edit ---------------------------------------------------------

class FileNameEditTest : public ::testing::Test {
  protected:
    void TearDown() override { quarvo::FileNameEdit::setDialogRunner({}); }
    quarvo::FileNameEdit edit_;
};

TEST_F(FileNameEditTest, FileNameDropsTheQuotesAtBothEnds) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"\"/home/a b/contacts.adr\"", "/home/a b/contacts.adr"},
        {"/home/ab/contacts.adr", "/home/ab/contacts.adr"},
        {"\"/open/at/start", "/open/at/start"},
        {"/open/at/end\"", "/open/at/end"},
        {"/in\"side", "/in\"side"},
        {"", ""},
    };
    for (const auto& c : cases) {
        edit_.setText(QString::fromUtf8(c.text));
        EXPECT_EQ(edit_.fileName().toStdString(), c.name) << c.text;
        EXPECT_EQ(edit_.text().toStdString(), c.text) << "the text itself is kept";
    }
}

TEST_F(FileNameEditTest, NameWithABlankIsShownBetweenQuotes) {
    edit_.setFileName(QStringLiteral("/opt/Program Files/Opera/profile/opera6.adr"));
    EXPECT_EQ(edit_.text(), QStringLiteral("\"/opt/Program Files/Opera/profile/opera6.adr\""));
    EXPECT_EQ(edit_.fileName(), QStringLiteral("/opt/Program Files/Opera/profile/opera6.adr"));
    edit_.setFileName(QStringLiteral("/opt/Opera/profile/opera6.adr"));
    EXPECT_EQ(edit_.text(), QStringLiteral("/opt/Opera/profile/opera6.adr"));
}

TEST_F(FileNameEditTest, RefusesANameThePlatformCannotHold) {
    const QString name = QStringLiteral("bad") + QChar(0) + QStringLiteral("name");
    try {
        edit_.setFileName(name);
        FAIL() << "no error";
    } catch (const quarvo::Exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Invalid file name - bad", 0), 0u)
            << error.what();
    }
}

TEST_F(FileNameEditTest, ChangeFiresForTypedSetAndChosenText) {
    QSignalSpy changed(&edit_, &quarvo::FileNameEdit::changed);
    QTest::keyClicks(edit_.lineEdit(), QStringLiteral("/tmp"));
    EXPECT_EQ(changed.count(), 4) << "one change per keystroke";
    edit_.setText(QStringLiteral("/var"));
    EXPECT_EQ(changed.count(), 5);
    edit_.setFileName(QStringLiteral("/var"));
    EXPECT_EQ(changed.count(), 5) << "the same text is no change";
    edit_.setFileName(QStringLiteral("/srv/a b"));
    EXPECT_EQ(changed.count(), 6);
    quarvo::FileNameEdit::setDialogRunner([](const quarvo::FileNameEdit::DialogRequest&) {
        return std::optional<QString>(QStringLiteral("/srv/chosen"));
    });
    QTest::mouseClick(edit_.browseButton(), Qt::LeftButton);
    EXPECT_EQ(changed.count(), 7);
    EXPECT_EQ(edit_.text(), QStringLiteral("/srv/chosen"));
}

TEST_F(FileNameEditTest, CancelledDialogChangesNothing) {
    edit_.setText(QStringLiteral("/kept"));
    QSignalSpy changed(&edit_, &quarvo::FileNameEdit::changed);
    quarvo::FileNameEdit::setDialogRunner(
        [](const quarvo::FileNameEdit::DialogRequest&) { return std::nullopt; });
    QTest::mouseClick(edit_.browseButton(), Qt::LeftButton);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(edit_.text(), QStringLiteral("/kept"));
}

TEST_F(FileNameEditTest, DialogOpensWithTitleFilterIndexAndCurrentName) {
    edit_.setFilter(QStringLiteral("All files (*.*)|*.*|Comma separated values (*.csv)|*.csv"));
    edit_.setFilterIndex(2);
    edit_.setText(QStringLiteral("\"/home/u/my contacts.csv\""));
    std::optional<quarvo::FileNameEdit::DialogRequest> seen;
    quarvo::FileNameEdit::setDialogRunner([&](const quarvo::FileNameEdit::DialogRequest& request) {
        seen = request;
        return std::optional<QString>(QStringLiteral("/home/u/new name.csv"));
    });
    QTest::mouseClick(edit_.browseButton(), Qt::LeftButton);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->title, QStringLiteral("Browse"));
    EXPECT_EQ(seen->nameFilters, (QStringList{QStringLiteral("All files (*.*)"),
                                              QStringLiteral("Comma separated values (*.csv)")}));
    EXPECT_EQ(seen->selectedFilter, 1);
    EXPECT_EQ(seen->fileName, QStringLiteral("/home/u/my contacts.csv"));
    EXPECT_EQ(edit_.text(), QStringLiteral("\"/home/u/new name.csv\""));
}

TEST_F(FileNameEditTest, AltDownOrF4InTheFieldOpensTheDialog) {
    int opened = 0;
    quarvo::FileNameEdit::setDialogRunner([&](const quarvo::FileNameEdit::DialogRequest&) {
        ++opened;
        return std::optional<QString>(QStringLiteral("/srv/by key"));
    });
    QTest::keyClick(edit_.lineEdit(), Qt::Key_Down);
    EXPECT_EQ(opened, 0) << "Down alone stays the field's";
    QTest::keyClick(edit_.lineEdit(), Qt::Key_F4);
    QTest::keyClick(edit_.lineEdit(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(edit_.text(), QStringLiteral("\"/srv/by key\""));
}

TEST(FileNameEditFilters, PairsBecomeQtNameFilters) {
    EXPECT_EQ(quarvo::FileNameEdit::nameFilters(QStringLiteral("All files (*.*)|*.*")),
              QStringList{QStringLiteral("All files (*.*)")});
    EXPECT_EQ(quarvo::FileNameEdit::nameFilters(QStringLiteral("Internet Website (*.htm)|*.htm")),
              QStringList{QStringLiteral("Internet Website (*.htm)")});
    EXPECT_EQ(quarvo::FileNameEdit::nameFilters(QStringLiteral("Logs|*.txt;*.log")),
              QStringList{QStringLiteral("Logs (*.txt *.log)")});
    EXPECT_EQ(quarvo::FileNameEdit::nameFilters(QStringLiteral("Text|*.txt|dangling")),
              QStringList{QStringLiteral("Text (*.txt)")});
    EXPECT_TRUE(quarvo::FileNameEdit::nameFilters(QString()).isEmpty());
}

// --- Glyph buttons and hot tracking ----------------------------------------

template <class Button>
void expect_glyph_with_disabled_image() {
    Button button;
    const QPixmap normal = filled(Qt::green);
    const QPixmap disabled = filled(Qt::gray);
    button.setGlyph(normal, disabled);
    EXPECT_EQ(button.iconSize(), QSize(16, 16));
    EXPECT_EQ(image_of(button.icon().pixmap(16, QIcon::Normal)), image_of(normal));
    EXPECT_EQ(image_of(button.icon().pixmap(16, QIcon::Disabled)), image_of(disabled));
}

TEST(GlyphButtons, GlyphHasItsOwnDisabledImage) {
    expect_glyph_with_disabled_image<quarvo::HotTrackGlyphButton>();
    expect_glyph_with_disabled_image<quarvo::SpeedButton>();
}

template <class Control>
void expect_hot_track_on_hover() {
    QWidget window;
    auto* control = new Control(&window);
    const QFont own = control->font();
    hover(control);
    EXPECT_TRUE(control->isHot());
    EXPECT_TRUE(control->font().underline());
    EXPECT_EQ(control->palette().color(QPalette::ButtonText), QColor(0, 0, 192));
    unhover(control);
    EXPECT_FALSE(control->isHot());
    EXPECT_EQ(control->font(), own);
    EXPECT_FALSE(control->testAttribute(Qt::WA_SetFont)) << "the inherited font is inherited again";

    QFont big = own;
    big.setPointSize(own.pointSize() + 6);
    control->setHotTrackFont(big);
    hover(control);
    EXPECT_EQ(control->font().pointSize(), big.pointSize());
    unhover(control);

    control->setEnabled(false);
    hover(control);
    EXPECT_FALSE(control->isHot()) << "a disabled control is not hot";
    control->setEnabled(true);
    control->setHotTrack(false);
    hover(control);
    EXPECT_FALSE(control->isHot());
}

TEST(HotTracking, HoverSwitchesToTheHotTrackLookAndBack) {
    expect_hot_track_on_hover<quarvo::HotTrackGlyphButton>();
    expect_hot_track_on_hover<quarvo::SpeedButton>();
    expect_hot_track_on_hover<quarvo::HotTrackLabel>();
}

TEST(HotTracking, DisablingAHotControlEndsTheHotLook) {
    QWidget window;
    auto* button = new quarvo::HotTrackGlyphButton(QStringLiteral("Start"), &window);
    QFont own_font = button->font();
    own_font.setBold(true);
    button->setFont(own_font);
    hover(button);
    ASSERT_TRUE(button->isHot());
    button->setEnabled(false);
    EXPECT_FALSE(button->isHot());
    EXPECT_EQ(button->font(), own_font) << "the button's own font comes back";
}

TEST(SpeedButtons, ClickAndCaption) {
    quarvo::SpeedButton button;
    button.setText(QStringLiteral("Help"));
    button.resize(25, 25);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonIconOnly)
        << "a 25-pixel button has no room for its caption";
}

// --- Clickable label and picture --------------------------------------------

TEST(ClickableControls, LabelReportsClicksAndDoubleClicks) {
    quarvo::HotTrackLabel label(QStringLiteral("quarvo@example.org"));
    label.resize(label.sizeHint());
    QSignalSpy clicked(&label, &quarvo::HotTrackLabel::clicked);
    QSignalSpy double_clicked(&label, &quarvo::HotTrackLabel::doubleClicked);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseDClick(&label, Qt::LeftButton);
    EXPECT_EQ(double_clicked.count(), 1);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1) << "only the left button clicks";

    EXPECT_FALSE(label.handCursor());
    label.setHandCursor(true);
    EXPECT_TRUE(label.handCursor());
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    label.setHandCursor(false);
    EXPECT_FALSE(label.handCursor());
}

// What a window system delivers for a double click: the second press comes
// with a double-click event, and its release follows.
void RealDoubleClick(QWidget* widget) {
    const QPointF at(2, 2);
    const QPointF global = widget->mapToGlobal(at);
    for (const QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
          QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

TEST(ClickableControls, ADoubleClickIsOneClickAndOneDoubleClick) {
    quarvo::HotTrackLabel label(QStringLiteral("quarvo@example.org"));
    label.resize(label.sizeHint());
    quarvo::PictureBox picture;
    picture.resize(105, 89);
    for (QWidget* widget : {static_cast<QWidget*>(&label), static_cast<QWidget*>(&picture)}) {
        QSignalSpy clicked(widget, SIGNAL(clicked()));
        QSignalSpy double_clicked(widget, SIGNAL(doubleClicked()));
        RealDoubleClick(widget);
        EXPECT_EQ(clicked.count(), 1) << widget->metaObject()->className();
        EXPECT_EQ(double_clicked.count(), 1) << widget->metaObject()->className();
    }
}

TEST(ClickableControls, PictureReportsClicksAndStretches) {
    quarvo::PictureBox picture;
    picture.setPicture(quarvo::imageListPicture(1));
    picture.resize(105, 89);
    QSignalSpy clicked(&picture, &quarvo::PictureBox::clicked);
    QSignalSpy double_clicked(&picture, &quarvo::PictureBox::doubleClicked);
    QTest::mouseClick(&picture, Qt::LeftButton);
    QTest::mouseDClick(&picture, Qt::LeftButton);
    EXPECT_GE(clicked.count(), 1);
    EXPECT_EQ(double_clicked.count(), 1);

    // A stretched picture fills its box; an unstretched one leaves the far
    // corner to the background.
    picture.setPicture(filled(Qt::red));
    picture.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture.setStretch(false);
    EXPECT_NE(picture.grab().toImage().pixelColor(100, 80), QColor(Qt::red));
    picture.setStretch(true);
    EXPECT_TRUE(picture.hasScaledContents());
    EXPECT_EQ(picture.grab().toImage().pixelColor(100, 80), QColor(Qt::red));
}

// --- Progress bar -----------------------------------------------------------

TEST(StepProgressBars, MaximumOfZeroIsAnEmptyBarAtPositionZero) {
    quarvo::StepProgressBar bar;
    bar.setMaxPosition(10);
    bar.setPosition(7);
    bar.setMaxPosition(0);
    EXPECT_EQ(bar.position(), 0);
    EXPECT_GT(bar.maximum(), bar.minimum()) << "not Qt's busy indicator";
    EXPECT_EQ(bar.value(), 0);
    bar.stepIt();
    EXPECT_EQ(bar.position(), 0);
}

TEST(StepProgressBars, StepsAddTheStepAndStopAtTheMaximum) {
    quarvo::StepProgressBar bar;
    bar.setMaxPosition(5);
    bar.setPosition(0);
    bar.setStep(2);
    bar.stepIt();
    EXPECT_EQ(bar.position(), 2);
    EXPECT_EQ(bar.value(), 2);
    bar.stepIt();
    bar.stepIt();
    EXPECT_EQ(bar.position(), 5);
    EXPECT_EQ(bar.value(), bar.maximum());
    bar.setMaxPosition(3);
    EXPECT_EQ(bar.position(), 3) << "a lower maximum pulls the position down";
    bar.setMaxPosition(8);
    EXPECT_EQ(bar.position(), 3) << "a higher maximum leaves it";
}

TEST(StepProgressBars, PaintsWhileSteppingButNotAtEveryStep) {
    QWidget window;
    auto* bar = new quarvo::StepProgressBar(&window);
    bar->resize(586, 17);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    constexpr int kSteps = 200000;
    bar->setMaxPosition(kSteps);
    bar->setPosition(0);
    for (int i = 0; i < kSteps; ++i) bar->stepIt();
    EXPECT_EQ(bar->position(), kSteps);
    EXPECT_GE(bar->stepRepaints(), 1) << "the full bar is painted at the end";
    EXPECT_LT(bar->stepRepaints(), kSteps / 100) << "painting dominates the job";

    bar->setRepaintInterval(0);
    bar->setPosition(0);
    bar->setMaxPosition(50);
    const long long before = bar->stepRepaints();
    for (int i = 0; i < 50; ++i) bar->stepIt();
    EXPECT_EQ(bar->stepRepaints() - before, 50) << "without a throttle every step paints";
}

TEST(StepProgressBars, HiddenBarDoesNotPaint) {
    quarvo::StepProgressBar bar;
    bar.setMaxPosition(10);
    bar.setRepaintInterval(0);
    for (int i = 0; i < 10; ++i) bar.stepIt();
    EXPECT_EQ(bar.position(), 10);
    EXPECT_EQ(bar.stepRepaints(), 0);
}

// --- Status bar -------------------------------------------------------------

TEST(PanelStatusBars, PanelsKeepTheirWidthGrowForLongerTextsAndTheLastTakesTheRest) {
    QWidget window;
    window.resize(400, 100);
    auto* bar = new quarvo::PanelStatusBar(&window);
    bar->setGeometry(0, 75, 400, 25);
    EXPECT_EQ(bar->addPanel(120, QStringLiteral("# Bookmarks:")), 0);
    EXPECT_EQ(bar->addPanel(120), 1);
    EXPECT_EQ(bar->addPanel(200), 2);
    EXPECT_EQ(bar->panelCount(), 3);
    EXPECT_EQ(bar->panel(0)->minimumWidth(), 120);
    EXPECT_EQ(bar->panelText(0), QStringLiteral("# Bookmarks:"));
    EXPECT_TRUE(bar->panelText(1).isEmpty());

    const QString long_text(60, QLatin1Char('W'));
    bar->setPanelText(1, long_text);
    EXPECT_EQ(bar->panelText(1), long_text);
    EXPECT_GE(bar->panel(1)->minimumWidth(),
              bar->panel(1)->fontMetrics().horizontalAdvance(long_text));
    bar->setPanelText(1, QStringLiteral("x"));
    EXPECT_EQ(bar->panel(1)->minimumWidth(), 120);

    // The last panel ends at the bar's edge, however wide it was asked to be.
    window.show();
    bar->layout()->activate();
    EXPECT_LE(bar->panel(2)->geometry().right(), bar->contentsRect().right());
    EXPECT_GT(bar->panel(2)->width(), 100);
}

// --- Balloon hints ----------------------------------------------------------

class BalloonHints : public ::testing::Test {
  protected:
    void SetUp() override {
        hints_.setHeader(QStringLiteral("Quarvo - Opera Bookmarks and Contacts Export"));
        hints_.setIcon(quarvo::imageListPicture(10));
        hints_.install();
        window_.resize(300, 200);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    bool askForHint(QWidget* widget) {
        QHelpEvent help(QEvent::ToolTip, QPoint(3, 3), widget->mapToGlobal(QPoint(3, 3)));
        return QApplication::sendEvent(widget, &help);
    }

    quarvo::BalloonHint hints_;
    QWidget window_;
};

TEST_F(BalloonHints, EveryHintShowsAsABalloonWithHeaderPictureAndClose) {
    auto* field = new quarvo::FileNameEdit(&window_);
    field->setToolTip(QStringLiteral(
        "Enter the complete  path and filename \nto your Opera-generated contacts file"));
    field->show();
    askForHint(field->lineEdit());  // the field's parts have no hint of their own
    quarvo::BalloonHintWindow* balloon = hints_.balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_EQ(balloon->header(), QStringLiteral("Quarvo - Opera Bookmarks and Contacts Export"));
    EXPECT_EQ(balloon->text(), field->toolTip()) << "blanks and line breaks kept";
    EXPECT_EQ(image_of(balloon->icon()), image_of(quarvo::imageListPicture(10)));
    ASSERT_NE(balloon->closeButton(), nullptr);
    QTest::mouseClick(balloon->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(balloon->isVisible());
}

TEST_F(BalloonHints, NoHintNoBalloon) {
    auto* plain = new QLabel(QStringLiteral("no hint"), &window_);
    plain->show();
    askForHint(plain);
    EXPECT_EQ(hints_.balloon(), nullptr);
}

TEST_F(BalloonHints, LeavingTheControlOrPressingElsewhereHidesIt) {
    auto* button = new quarvo::SpeedButton(&window_);
    button->setToolTip(QStringLiteral("Exit Quarvo"));
    auto* other = new QLabel(QStringLiteral("other"), &window_);
    other->move(100, 100);
    button->show();
    other->show();

    askForHint(button);
    ASSERT_NE(hints_.balloon(), nullptr);
    unhover(button);
    EXPECT_EQ(hints_.balloon(), nullptr);

    askForHint(button);
    ASSERT_NE(hints_.balloon(), nullptr);
    QTest::mousePress(other, Qt::LeftButton);
    EXPECT_EQ(hints_.balloon(), nullptr);
}

TEST_F(BalloonHints, UninstalledHintsLeaveTooltipsToQt) {
    auto* button = new quarvo::SpeedButton(&window_);
    button->setToolTip(QStringLiteral("Help"));
    button->show();
    hints_.uninstall();
    askForHint(button);
    EXPECT_EQ(hints_.balloon(), nullptr);
}

}  // namespace
