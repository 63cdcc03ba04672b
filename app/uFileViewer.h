// SPDX-License-Identifier: MIT
// The file viewer: shows the file named by ViewedFileName as plain text and
// lets the user edit it, reload it, save it back or save it elsewhere, as
// ViewerDocument decides. Its controls come from the window layout.
// Errors of the file layer are not caught here; they end the handler and
// reach the desktop's error report with the viewer still open.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <string_view>

#include "desktop.h"
#include "viewer_document.h"

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

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createToolBar();
    // What the document shows through the window.
    void SetCaption(const std::string& caption) override;
    void SetText(std::string_view file_bytes) override;
    [[nodiscard]] quarvo::EncodedText Text() const override;
    [[nodiscard]] std::unique_ptr<quarvo::BusyIndicator> ShowBusy(const std::string& file_name,
                                                                  int steps) override;

    std::unique_ptr<Ui::TfFileViewer> ui_;
    quarvo::Desktop& desktop_;
    quarvo::ViewerDocument document_;
};
