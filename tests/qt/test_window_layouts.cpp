// SPDX-License-Identifier: MIT
// The Qt windows as the layout tables, which every front end is checked
// against, describe them: each control found by its name, made of the Qt
// class for its kind, in its place, with its caption and hint, and reached
// by Tab in the tables' order.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "notes_export_kind.h"
#include "recording_desktop.h"
#include "start_up.h"
#include "uExport.h"
#include "uProfileExport.h"
#include "window_layouts.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(const QPoint& point, std::ostream* out) {
    *out << point.x() << ", " << point.y();
}
void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " by " << size.height();
}

namespace {

namespace layouts = quarvo::layouts;

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const char* qtClass(layouts::ControlKind kind) {
    switch (kind) {
        case layouts::ToolBar:
            return "QWidget";
        case layouts::Separator:
            return "QFrame";
        case layouts::SpeedButton:
            return "quarvo::SpeedButton";
        case layouts::ToolButton:
            return "QToolButton";
        case layouts::GlyphButton:
            return "quarvo::HotTrackGlyphButton";
        case layouts::Label:
            return "QLabel";
        case layouts::HotTrackLabel:
            return "quarvo::HotTrackLabel";
        case layouts::Picture:
            return "quarvo::PictureBox";
        case layouts::FileNameEdit:
            return "quarvo::FileNameEdit";
        case layouts::TextEditor:
            return "quarvo::TextEditor";
        case layouts::Memo:
            return "QPlainTextEdit";
        case layouts::Bevel:
            return "quarvo::Bevel";
        case layouts::ProgressBar:
            return "quarvo::StepProgressBar";
        case layouts::StatusBar:
            return "quarvo::PanelStatusBar";
        case layouts::ComboBox:
            return "QComboBox";
        case layouts::CheckBox:
            return "QCheckBox";
    }
    return "";
}

// The caption of a control that has one; a field's or an editor's text is
// its content, which the windows fill in.
std::optional<QString> caption(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
    return std::nullopt;
}

class WindowLayouts : public ::testing::Test {
  public:
    void SetUp() override {
        QApplication::setFont(quarvo::programFont());
        windows_ = std::make_unique<quarvo::ProgramWindows>(desktop_);
    }
    void TearDown() override { windows_.reset(); }

    static QWidget* window(std::string_view name) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == qt(name)) return top;
        return nullptr;
    }
    // Names repeat from window to window, and the smaller windows are
    // children of the main window: only the window's own controls count.
    static QWidget* control(QWidget* window, std::string_view name) {
        std::vector<QWidget*> own;
        for (QWidget* found : window->findChildren<QWidget*>(qt(name)))
            if (found->window() == window) own.push_back(found);
        EXPECT_EQ(own.size(), 1u) << name;
        return own.empty() ? nullptr : own.front();
    }
    static QWidget* clientArea(QWidget* window) {
        const auto* main = qobject_cast<QMainWindow*>(window);
        return main ? main->centralWidget() : window;
    }
    static QSize clientSize(QWidget* window) {
        const auto* main = qobject_cast<QMainWindow*>(window);
        const int menu = main ? main->menuWidget()->sizeHint().height() : 0;
        return window->size() - QSize(0, menu);
    }

    RecordingDesktop desktop_;
    std::unique_ptr<quarvo::ProgramWindows> windows_;
};

// Each control of `layout` in `shown`: its class, place, size, caption and
// hint. `text` gives a caption the table leaves to the window (empty there).
template <class Text>
void ExpectControlsOf(QWidget* shown, const layouts::Window& layout, Text text) {
    for (const layouts::Control& c : layout.controls) {
        SCOPED_TRACE(c.name);
        QWidget* made = WindowLayouts::control(shown, c.name);
        if (!made) continue;
        EXPECT_TRUE(made->inherits(qtClass(c.kind))) << made->metaObject()->className();
        const QWidget* parent = c.parent.empty() ? WindowLayouts::clientArea(shown)
                                                 : WindowLayouts::control(shown, c.parent);
        ASSERT_NE(parent, nullptr);
        EXPECT_EQ(made->mapTo(shown, QPoint()) - parent->mapTo(shown, QPoint()),
                  QPoint(c.place.left, c.place.top));
        if (c.place.width != 0 || c.place.height != 0) {
            EXPECT_EQ(made->size(), QSize(c.place.width, c.place.height));
        }
        if (c.kind != layouts::FileNameEdit) {
            EXPECT_EQ(caption(*made).value_or(QString()),
                      c.text.empty() ? text(c.name) : qt(c.text));
        }
        EXPECT_EQ(made->toolTip(), qt(c.hint));
    }
}

TEST_F(WindowLayouts, EveryControlSitsAsItsTableSays) {
    for (const layouts::Window& layout : layouts::kWindows) {
        SCOPED_TRACE(layout.name);
        QWidget* shown = window(layout.name);
        ASSERT_NE(shown, nullptr);
        // Places the window's layout manager gives (the status bar's) are
        // only set once it has run.
        if (shown->layout()) shown->layout()->activate();
        EXPECT_EQ(shown->windowTitle(), qt(layout.caption));
        EXPECT_EQ(clientSize(shown), QSize(layout.client_width, layout.client_height));
        ExpectControlsOf(shown, layout, [](std::string_view) { return QString(); });
    }
}

// The export window, made for the notes: the table's places, the kind's texts.
TEST_F(WindowLayouts, TheExportWindowSitsAsItsTableSays) {
    const quarvo::ExportKind& kind = quarvo::NotesExportKind();
    TfExport shown(kind, desktop_);
    const layouts::Window& layout = layouts::kExportWindow;
    EXPECT_EQ(shown.objectName(), qt(layout.name));
    EXPECT_EQ(shown.windowTitle(), qt(kind.caption));
    EXPECT_EQ(clientSize(&shown), QSize(layout.client_width, layout.client_height));
    const std::map<std::string_view, std::string_view> texts = {
        {"lblSource", kind.source_label},
        {"lblTarget", kind.target_label},
        {"chkOption1", kind.options[0].label},
        {"chkOption2", kind.options[1].label},
        {"lblStatus", ""}};
    ExpectControlsOf(&shown, layout, [&](std::string_view name) {
        const auto found = texts.find(name);
        return found == texts.end() ? QString() : qt(found->second);
    });
    const auto* choices = WindowLayouts::control(&shown, "cbChoice");
    ASSERT_NE(choices, nullptr);
    EXPECT_EQ(static_cast<const QComboBox*>(choices)->count(),
              static_cast<int>(kind.choices.size()));
}

// The whole-profile window: the table's places; the kinds' texts are the
// profile's, empty until one is shown.
TEST_F(WindowLayouts, TheProfileExportWindowSitsAsItsTableSays) {
    TfProfileExport shown(desktop_);
    const layouts::Window& layout = layouts::kProfileExportWindow;
    EXPECT_EQ(shown.objectName(), qt(layout.name));
    EXPECT_EQ(shown.windowTitle(), qt(layout.caption));
    EXPECT_EQ(clientSize(&shown), QSize(layout.client_width, layout.client_height));
    ExpectControlsOf(&shown, layout, [](std::string_view) { return QString(); });
}

// Tab reaches the tab stops of `layout` in `shown` in the table's order.
void ExpectTabOrderOf(QWidget* shown, const layouts::Window& layout) {
    std::vector<const layouts::Control*> stops;
    for (const layouts::Control& c : layout.controls)
        if (c.tab_order >= 0) stops.push_back(&c);
    std::sort(stops.begin(), stops.end(),
              [](auto* a, auto* b) { return a->tab_order < b->tab_order; });
    // A control's place among the widgets Tab stops at: where it or a
    // part of it (a field's line edit) first comes.
    std::vector<QWidget*> chain;
    for (QWidget* w = shown->nextInFocusChain(); w != shown; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
    int last = -1;
    for (const layouts::Control* stop : stops) {
        QWidget* made = WindowLayouts::control(shown, stop->name);
        const auto at = std::find_if(chain.begin(), chain.end(), [made](QWidget* w) {
            return w == made || made->isAncestorOf(w);
        });
        ASSERT_NE(at, chain.end()) << stop->name;
        EXPECT_GT(at - chain.begin(), last) << stop->name;
        last = static_cast<int>(at - chain.begin());
    }
}

TEST_F(WindowLayouts, TabReachesTheTabStopsInTheTablesOrder) {
    for (const layouts::Window& layout : layouts::kWindows) {
        SCOPED_TRACE(layout.name);
        QWidget* shown = window(layout.name);
        ASSERT_NE(shown, nullptr);
        ExpectTabOrderOf(shown, layout);
    }
    TfExport export_window(quarvo::NotesExportKind(), desktop_);
    {
        SCOPED_TRACE("fExport");
        ExpectTabOrderOf(&export_window, layouts::kExportWindow);
    }
    TfProfileExport profile_window(desktop_);
    SCOPED_TRACE("fProfileExport");
    ExpectTabOrderOf(&profile_window, layouts::kProfileExportWindow);
}

}  // namespace
