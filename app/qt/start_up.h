// SPDX-License-Identifier: MIT
// Start-up: the application's title, font and hints, and the five windows,
// made once in their fixed order and kept until the program ends.
#pragma once

#include <QFont>
#include <memory>

#include "program_texts.h"

class QApplication;
class TfZorezOrudaz_Main;
class TfSettings;
class TfFileViewer;
class TfAbout;
class TfUnderConstruction;

namespace quarvo {

class BalloonHint;
class Desktop;
class QtDesktop;

// "MS Sans Serif" at 8 points where the system has it, else the nearest
// sans-serif face the system has, at the same size.
[[nodiscard]] QFont programFont();

// Title, font and the balloon hints of the whole application. The returned
// object shows the balloons for as long as it lives.
[[nodiscard]] std::unique_ptr<BalloonHint> setUpApplication(QApplication& app);

// The five windows as program-wide instances, all reaching the desktop
// through `desktop`. Destroying this destroys them, last made first, and
// clears the program-wide pointers.
class ProgramWindows {
  public:
    explicit ProgramWindows(Desktop& desktop);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    [[nodiscard]] TfZorezOrudaz_Main* mainWindow() const { return main_.get(); }

  private:
    std::unique_ptr<TfZorezOrudaz_Main> main_;
    std::unique_ptr<TfSettings> settings_;
    std::unique_ptr<TfFileViewer> file_viewer_;
    std::unique_ptr<TfAbout> about_;
    std::unique_ptr<TfUnderConstruction> under_construction_;
};

// The whole program: sets up `app`, makes the windows over `desktop`, shows
// the main window and runs the event loop until the main window closes.
int runProgram(QApplication& app, QtDesktop& desktop);

}  // namespace quarvo
