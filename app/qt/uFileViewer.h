// SPDX-License-Identifier: MIT
// The file viewer: shows the file named by ViewedFileName as plain text and
// lets the user edit it, reload it, save it back or save it elsewhere, as
// ViewerDocument decides. Its controls come from the window layout; the
// keyboard reaches every command: Ctrl+S saves, Ctrl+Shift+S saves as, F5
// reloads, and Ctrl+W, Escape or the window manager's close closes, each
// asking first when changes would be lost.
// Errors of the file layer are not caught here; they end the handler and
// reach the desktop's error report with the viewer still open.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <string_view>

#include "desktop.h"
#include "viewer_document.h"

class QProgressBar;

namespace Ui {
class TfFileViewer;
}

class TfFileViewer : public QDialog, private quarvo::ViewerView {
    Q_OBJECT
  public:
    explicit TfFileViewer(quarvo::Desktop& desktop, QWidget* parent = nullptr);
    ~TfFileViewer() override;

    // Where each showing leaves a copy of what it loaded: the current folder.
    static constexpr const char* kBackupFileName = quarvo::ViewerDocument::kBackupFileName;

  public slots:
    // Runs once per showing: new caption, fresh load (or an empty editor
    // for a name that is no plain file), backup.
    void FormActivate();
    void tbReloadClick();
    void tbSaveFileClick();
    void tbSaveAsClick();
    void tbCloseClick();
    // Every way of closing ends here: it asks about unsaved changes first.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createToolBar();
    void createShortcuts();
    // What the document shows through the window.
    void SetCaption(const std::string& caption) override;
    void SetText(std::string_view file_bytes, quarvo::BusyIndicator* busy) override;
    [[nodiscard]] quarvo::EncodedText Text() const override;
    [[nodiscard]] bool Modified() const override;
    void MarkSaved() override;
    [[nodiscard]] std::unique_ptr<quarvo::BusyIndicator> ShowBusy(const std::string& file_name,
                                                                  int steps) override;

    std::unique_ptr<Ui::TfFileViewer> ui_;
    quarvo::Desktop& desktop_;
    quarvo::ViewerDocument document_;
    QProgressBar* progress_ = nullptr;
};
