// SPDX-License-Identifier: MIT
#include "uFileViewer.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QToolButton>
#include <string>

#include "app_globals.h"
#include "file_names.h"
#include "image_list.h"
#include "text_editor.h"
#include "viewer_busy.h"
#include "viewer_look.h"

namespace {

constexpr int kClientWidth = 582;
constexpr int kClientHeight = 438;
constexpr int kToolBarHeight = 29;

// The viewer's busy indicator for the document.
class Busy : public quarvo::BusyIndicator {
  public:
    Busy(QWidget* parent, const QString& label, int steps) : busy_(parent, label, steps) {}
    void Step() override { busy_.step(); }

  private:
    ViewerBusy busy_;
};

}  // namespace

TfFileViewer::TfFileViewer(quarvo::Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      desktop_(desktop),
      document_(*this, desktop) {
    setObjectName(QStringLiteral("fFileViewer"));
    setWindowTitle(QStringLiteral("Quarvo - [Fileviewer]"));
    setFont(quarvo::windowFont());
    setFixedSize(kClientWidth, kClientHeight);

    CreateToolBar();

    jmeFile = new quarvo::TextEditor(this);
    jmeFile->setObjectName(QStringLiteral("jmeFile"));
    jmeFile->setGeometry(0, kToolBarHeight, kClientWidth, kClientHeight - kToolBarHeight);
    jmeFile->setFocusPolicy(Qt::StrongFocus);
}

QToolButton* TfFileViewer::AddToolButton(const char* name, int left, int picture,
                                         const QString& hint) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 2, 23, 22);
    button->setAutoRaise(true);
    button->setIcon(quarvo::imageListIcon(picture));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TfFileViewer::CreateToolBar() {
    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);

    tbReload = AddToolButton("tbReload", 0, quarvo::image_list::kReload,
                             QStringLiteral("Reload file, discard all changes "));
    tbSaveAs =
        AddToolButton("tbSaveAs", 23, quarvo::image_list::kSaveAs, QStringLiteral("Save as ... "));
    tbSaveFile = AddToolButton(
        "tbSaveFile", 46, quarvo::image_list::kSave,
        QStringLiteral("Save changes\n"
                       "\n"
                       "Be careful when you edited your original opera-file \n"
                       "if you did something wrong your original bookmarks/contacts \n"
                       "will be overwritten !!!"));
    tbSearch = AddToolButton("tbSearch", 69, quarvo::image_list::kSearch,
                             QStringLiteral("Search within this file"));
    tbSearch->setEnabled(false);

    auto* separator = new QFrame(ToolBar1);
    separator->setObjectName(QStringLiteral("ToolButtonSeparator"));
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(92, 2, 21, 22);

    tbClose = AddToolButton("tbClose", 113, quarvo::image_list::kExit,
                            QStringLiteral("Close, go back to Main-Window"));

    // File errors end the click at its receiver and go to the error report.
    connect(tbReload, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbReloadClick(); }));
    connect(tbSaveAs, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveAsClick(); }));
    connect(tbSaveFile, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveFileClick(); }));
    connect(tbClose, &QToolButton::clicked, this, &TfFileViewer::tbCloseClick);
}

void TfFileViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Queued so that it runs once per showing, from the event loop, after
    // the window is up: a file error's box then appears over the viewer.
    if (!event->spontaneous()) {
        QMetaObject::invokeMethod(this, quarvo::Reporting(desktop_, [this] { FormActivate(); }),
                                  Qt::QueuedConnection);
    }
}

void TfFileViewer::keyPressEvent(QKeyEvent* event) {
    // The window has no close button; the toolbar's is the one way back, so
    // Escape must not drop the user's edits behind their back.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfFileViewer::FormActivate() {
    document_.Show(ViewedFileName);
}

void TfFileViewer::tbReloadClick() {
    document_.Reload(ViewedFileName);
}

void TfFileViewer::tbSaveFileClick() {
    document_.Save(ViewedFileName);
}

void TfFileViewer::tbSaveAsClick() {
    document_.SaveAs(ViewedFileName);
}

void TfFileViewer::tbCloseClick() {
    close();
}

void TfFileViewer::SetCaption(const std::string& caption) {
    setWindowTitle(quarvo::fileNameText(caption));
}

void TfFileViewer::SetText(std::string_view file_bytes) {
    jmeFile->setFileBytes(file_bytes);
}

quarvo::EncodedText TfFileViewer::Text() const {
    return jmeFile->encoded();
}

std::unique_ptr<quarvo::BusyIndicator> TfFileViewer::ShowBusy(const std::string& file_name,
                                                              int steps) {
    const QString label =
        file_name.empty() ? QString() : QDir::toNativeSeparators(quarvo::fileNameText(file_name));
    return std::make_unique<Busy>(this, label, steps);
}
