// SPDX-License-Identifier: MIT
// The export window: one for every kind of Opera data (notes, mail), made
// when the File menu first asks for it and kept as a child of the main
// window. Its controls come from the window layout, their texts from the
// kind's table; what it does is decided by ExportWindowLogic, whose export
// runs off this window's thread while the window keeps painting.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "desktop.h"
#include "export_window_logic.h"

namespace Ui {
class TfExport;
}

class TfExport : public QDialog, private quarvo::ExportView {
    Q_OBJECT

  public:
    TfExport(const quarvo::ExportKind& kind, quarvo::Desktop& desktop, QWidget* parent = nullptr);
    ~TfExport() override;

    [[nodiscard]] const quarvo::ExportWindowLogic& logic() const { return logic_; }

  public slots:
    void jhbStartExportClick();
    void jhbCancelExportClick();
    void cbChoiceChange();
    // Escape, the title bar's close button and Close: while an export runs,
    // it is cancelled and the window closes once it has stopped.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fitTexts(const quarvo::ExportKind& kind);
    void createButtons();
    // The target's browse dialog chooses what the chosen output writes.
    void browseForChoice();
    void connectHandlers();

    [[nodiscard]] std::string SourceName() const override;
    void SetSourceName(const std::string& name) override;
    [[nodiscard]] std::string TargetName() const override;
    void SetTargetName(const std::string& name) override;
    [[nodiscard]] std::size_t Choice() const override;
    [[nodiscard]] bool OptionTicked(std::size_t option) const override;
    void ShowRunning(bool running) override;
    void ShowProgress(std::int64_t done, std::int64_t total) override;
    void ShowStatus(const std::string& text) override;
    void WakeWindowThread() override;
    void CloseWindow() override;

    std::unique_ptr<Ui::TfExport> ui_;
    quarvo::Desktop& desktop_;
    quarvo::ExportWindowLogic logic_;
};

namespace quarvo {

// Shows `kind`'s export window modally over `owner`, made the first time
// and kept as the owner's child, so that it keeps its names between uses.
void showExportWindow(const ExportKind& kind, Desktop& desktop, QWidget* owner);

}  // namespace quarvo
