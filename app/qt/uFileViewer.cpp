// SPDX-License-Identifier: MIT
#include "uFileViewer.h"

#include <QProgressBar>
#include <QShortcut>
#include <QShowEvent>
#include <QToolButton>
#include <string>

#include "accessible_names.h"
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
    Busy(QProgressBar* bar, const QString& label, int steps) : busy_(bar, label, steps) {}
    void Step() override { busy_.step(); }

  private:
    ViewerBusy busy_;
};

// Where the progress of a load or save shows: in the toolbar, right of its
// buttons.
constexpr QRect kProgressPlace(150, 4, 300, 20);

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
    createShortcuts();
    ui_->jmeFile->setAccessibleName(QStringLiteral("Text of the file"));
    progress_ = new QProgressBar(ui_->ToolBar1);
    progress_->setObjectName(QStringLiteral("LoadProgress"));
    progress_->setGeometry(kProgressPlace);
    progress_->setTextVisible(true);
    progress_->hide();
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
    for (QToolButton* button :
         {ui_->tbReload, ui_->tbSaveAs, ui_->tbSaveFile, ui_->tbSearch, ui_->tbClose})
        quarvo::nameFromHint(button);
}

void TfFileViewer::createShortcuts() {
    const struct {
        QKeySequence keys;
        void (TfFileViewer::*run)();
    } shortcuts[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), &TfFileViewer::tbSaveFileClick},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TfFileViewer::tbSaveAsClick},
        {QKeySequence(Qt::Key_F5), &TfFileViewer::tbReloadClick},
        {QKeySequence(Qt::CTRL | Qt::Key_W), &TfFileViewer::tbCloseClick},
    };
    for (const auto& s : shortcuts) {
        auto* shortcut = new QShortcut(s.keys, this);
        const auto run = s.run;
        connect(shortcut, &QShortcut::activated, this,
                quarvo::Reporting(desktop_, [this, run] { (this->*run)(); }));
    }
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

void TfFileViewer::reject() {
    bool may_close = false;
    quarvo::RunReporting(desktop_, [&] { may_close = document_.MayClose(ViewedFileName); });
    if (may_close) QDialog::reject();
}

void TfFileViewer::SetCaption(const std::string& caption) {
    setWindowTitle(quarvo::fileNameText(caption));
}

void TfFileViewer::SetText(std::string_view file_bytes, quarvo::BusyIndicator* busy) {
    ui_->jmeFile->setFileBytes(file_bytes, [busy] {
        if (busy) busy->Step();
    });
}

quarvo::EncodedText TfFileViewer::Text() const {
    return ui_->jmeFile->encoded();
}

bool TfFileViewer::Modified() const {
    return ui_->jmeFile->isModified();
}

void TfFileViewer::MarkSaved() {
    ui_->jmeFile->setModified(false);
}

std::unique_ptr<quarvo::BusyIndicator> TfFileViewer::ShowBusy(const std::string& file_name,
                                                              int steps) {
    return std::make_unique<Busy>(progress_, quarvo::fileNameText(quarvo::ShortFileName(file_name)),
                                  steps);
}
