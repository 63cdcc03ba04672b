// SPDX-License-Identifier: MIT
// The window that exports a whole Opera profile, opened from the File
// menu: the profiles found, what the chosen one holds with a check box per
// kind, the new folder, progress with Cancel, and at the end what was
// written with a button that opens the folder. What it does is decided by
// ProfileWindowLogic, whose export runs off this window's thread.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "desktop.h"
#include "profile_window_logic.h"

class QCheckBox;

namespace Ui {
class TfProfileExport;
}

class TfProfileExport : public QDialog, private quarvo::ProfileExportView {
    Q_OBJECT

  public:
    explicit TfProfileExport(quarvo::Desktop& desktop, QWidget* parent = nullptr);
    ~TfProfileExport() override;

  public slots:
    void jhbStartExportClick();
    void jhbCancelExportClick();
    void jhbOpenFolderClick();
    void cbProfileChange();
    void jfeProfileChange();
    // Escape, the title bar's close button and Close: while an export runs,
    // it is cancelled and the window closes once it has stopped.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createButtons();
    void connectHandlers();
    [[nodiscard]] std::vector<QCheckBox*> kindBoxes() const;

    void SetProfiles(const std::vector<std::string>& folders) override;
    [[nodiscard]] std::size_t ProfileChoice() const override;
    [[nodiscard]] std::string ProfileFolder() const override;
    void SetProfileFolder(const std::string& folder) override;
    void SetKinds(const std::vector<quarvo::ProfileKindLine>& kinds,
                  const std::string& untouched) override;
    [[nodiscard]] bool KindTicked(std::size_t kind) const override;
    [[nodiscard]] std::string TargetName() const override;
    void SetTargetName(const std::string& name) override;
    void ShowRunning(bool running) override;
    void ShowProgress(std::int64_t done, std::int64_t total) override;
    void ShowStatus(const std::string& text) override;
    void ShowReport(const std::string& text) override;
    void EnableOpenFolder(bool enabled) override;
    void WakeWindowThread() override;
    void CloseWindow() override;

    std::unique_ptr<Ui::TfProfileExport> ui_;
    quarvo::Desktop& desktop_;
    quarvo::ProfileWindowLogic logic_;
    std::vector<bool> exportable_;  // per kind box: may be ticked
    bool filling_ = false;          // the list is being filled: no change to pass on
};

namespace quarvo {

// Shows the whole-profile export window modally over `owner`, made the
// first time and kept as the owner's child.
void showProfileExportWindow(Desktop& desktop, QWidget* owner);

}  // namespace quarvo
