// SPDX-License-Identifier: MIT
// The main window: the four file names, the counts and readiness in the
// status bar, the one command that runs both conversions, and the way to
// the file viewer, the help and the about windows. Its controls come from
// the window layout and carry the names the handlers below speak of; what
// they do is decided by MainWindowLogic.
#pragma once

#include <QMainWindow>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <string>

#include "desktop.h"
#include "main_window_logic.h"

namespace quarvo {
class ContactsOutputMenu;
class FileNameEdit;
}  // namespace quarvo

namespace Ui {
class TfZorezOrudaz_Main;
}

class TfZorezOrudaz_Main : public QMainWindow, private quarvo::MainWindowView {
    Q_OBJECT

  public:
    explicit TfZorezOrudaz_Main(quarvo::Desktop& desktop, QWidget* parent = nullptr);
    ~TfZorezOrudaz_Main() override;

    // The progress sink of both conversions: one step of the progress bar.
    void progressStep();

    [[nodiscard]] const quarvo::MainWindowLogic& logic() const { return logic_; }

  public slots:
    // Recounts the two Opera files and sets the readiness state; runs when
    // the window is first shown. A change of an input field recounts that
    // field's file alone.
    void CountItems();
    // The window's activation; only the first one counts the items.
    void FormActivate();
    void bbStartConvertClick();
    // Open the export window for Opera's notes, or for its mail.
    void ExportNotesClick();
    void ExportMailClick();
    void ExportProfileClick();
    void File1Click();
    void OpenBookmarksClick();
    void OpenContactsClick();
    void AboutQuarvoClick();
    void jsbShowHelpClick();
    void ExitClick();

  signals:
    // The window has closed, which ends the program.
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Fills in the default file names; runs once, while the window is made.
    void FormCreate();

    // What the logic shows through the window.
    [[nodiscard]] std::string FileName(quarvo::NameField field) const override;
    void SetFileName(quarvo::NameField field, const std::string& name) override;
    void ShowCounts(const quarvo::ItemCounts& counts) override;
    void EnableStartCommand(bool enabled) override;
    void ShowProgress(bool shown) override;
    void StepProgress() override;
    void ShowViewer(const std::string& file_name) override;
    void ShowContactsOutput(const quarvo::ContactsOutputChoice& choice) override;
    void CountOffThread(std::function<quarvo::EntryCount()> count,
                        std::function<void(quarvo::EntryCount)> done) override;
    [[nodiscard]] quarvo::FileNameEdit* field(quarvo::NameField field) const;

    void createToolBar();
    void createMenuPictures();
    void createStatusBar();
    void fitTexts();
    void nameControls();
    void connectHandlers();

    std::unique_ptr<Ui::TfZorezOrudaz_Main> ui_;
    quarvo::Desktop& desktop_;
    // The counts of the Opera files. Made before the logic and so gone after
    // it: its end waits for the counts the logic's end has cancelled, before
    // the window's own end drops the results they posted.
    QThreadPool counting_;
    quarvo::MainWindowLogic logic_;
    quarvo::ContactsOutputMenu* contacts_menu_ = nullptr;
    bool centred_ = false;
};
