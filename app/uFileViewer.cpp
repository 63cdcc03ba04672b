// SPDX-License-Identifier: MIT
#include "uFileViewer.h"

#include <QDir>
#include <QKeyEvent>
#include <QToolButton>
#include <string>

#include "app_globals.h"
#include "file_names.h"
#include "image_list.h"
#include "text_editor.h"
#include "ui_uFileViewer.h"
#include "viewer_busy.h"
#include "viewer_look.h"
#include "window_layouts.h"

namespace {

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
      ui_(std::make_unique<Ui::TfFileViewer>()),
      desktop_(desktop),
      document_(*this, desktop) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    setFixedSize(quarvo::layouts::kFileViewer.client_width,
                 quarvo::layouts::kFileViewer.client_height);
    createToolBar();
}

TfFileViewer::~TfFileViewer() = default;

void TfFileViewer::createToolBar() {
    using namespace quarvo::image_list;
    ui_->tbReload->setIcon(quarvo::imageListIcon(kReload));
    ui_->tbSaveAs->setIcon(quarvo::imageListIcon(kSaveAs));
    ui_->tbSaveFile->setIcon(quarvo::imageListIcon(kSave));
    ui_->tbSearch->setIcon(quarvo::imageListIcon(kSearch));
    ui_->tbClose->setIcon(quarvo::imageListIcon(kExit));

    // File errors end the click at its receiver and go to the error report.
    connect(ui_->tbReload, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbReloadClick(); }));
    connect(ui_->tbSaveAs, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveAsClick(); }));
    connect(ui_->tbSaveFile, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveFileClick(); }));
    connect(ui_->tbClose, &QToolButton::clicked, this, &TfFileViewer::tbCloseClick);
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
    ui_->jmeFile->setFileBytes(file_bytes);
}

quarvo::EncodedText TfFileViewer::Text() const {
    return ui_->jmeFile->encoded();
}

std::unique_ptr<quarvo::BusyIndicator> TfFileViewer::ShowBusy(const std::string& file_name,
                                                              int steps) {
    const QString label =
        file_name.empty() ? QString() : QDir::toNativeSeparators(quarvo::fileNameText(file_name));
    return std::make_unique<Busy>(this, label, steps);
}
