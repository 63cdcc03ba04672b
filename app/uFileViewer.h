// SPDX-License-Identifier: MIT
// The file viewer: shows the file named by ViewedFileName as plain text and
// lets the user edit it, reload it, save it back or save it elsewhere.
// Errors of the file layer are not caught here; they end the handler and
// reach the desktop's error report with the viewer still open.
#pragma once

#include <QDialog>
#include <string>

#include "desktop.h"

class QToolButton;
class QWidget;
class SaveDialog;
class TextEditor;

class TfFileViewer : public QDialog {
    Q_OBJECT
  public:
    explicit TfFileViewer(quarvo::Desktop& desktop, QWidget* parent = nullptr);

    // Where each showing leaves a copy of what it loaded: the current folder.
    static constexpr const char* kBackupFileName = "QuarvoFileViewerBackup.txt";

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
    void CreateToolBar();
    QToolButton* AddToolButton(const char* name, int left, int picture, const QString& hint);
    // Reads the viewed file into the editor, and a copy of its bytes into
    // the backup file when asked.
    void Load(bool write_backup);
    // Writes the editor's text to `file_name`, after asking when it holds
    // characters the file's encoding cannot.
    void Save(const std::string& file_name, bool unless_empty);

    quarvo::Desktop& desktop_;
    QWidget* ToolBar1 = nullptr;
    QToolButton* tbReload = nullptr;
    QToolButton* tbSaveAs = nullptr;
    QToolButton* tbSaveFile = nullptr;
    QToolButton* tbSearch = nullptr;
    QToolButton* tbClose = nullptr;
    TextEditor* jmeFile = nullptr;
    SaveDialog* jsdFileSaveAs = nullptr;
};
