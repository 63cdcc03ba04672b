// SPDX-License-Identifier: MIT
// The main window: the four file names, the counts and readiness in the
// status bar, the one command that runs both conversions, and the way to
// the file viewer, the help and the about windows. Its controls come from
// the window layout and carry the names the handlers below speak of.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "errors.h"

namespace Ui {
class TfZorezOrudaz_Main;
}

class TfZorezOrudaz_Main : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfZorezOrudaz_Main(QWidget* parent = nullptr);
    ~TfZorezOrudaz_Main() override;

    // The progress sink of both conversions: one step of the progress bar.
    void ProgressStep();

  public slots:
    // Recounts the two Opera files and sets the readiness state; runs on
    // every change of either input field and when the window is first shown.
    void CountItems();
    void FormActivate();
    void bbStartConvertClick();
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

    // One input file's count of `marker`; readable is false for a name that
    // names no plain file or one that could not be read.
    struct InputCount {
        std::int32_t count = 0;
        bool readable = false;
        std::optional<quarvo::Exception> unreported_error;
    };
    [[nodiscard]] InputCount countInput(const std::string& name, std::string_view marker);

    void createToolBar();
    void createMenuPictures();
    void createStatusBar();
    void fitTexts();
    void connectHandlers();
    void activateOnce();

    std::unique_ptr<Ui::TfZorezOrudaz_Main> ui_;
    bool activated_ = false;
    bool centred_ = false;
    // Input names whose read failed and was reported: the recount of every
    // keystroke and of start-up reports each such name once only.
    std::set<std::string> reported_unreadable_;
};
