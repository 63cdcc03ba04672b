// SPDX-License-Identifier: MIT
// Start-up of the Windows program: the common controls, the five windows
// made once in their fixed order (and each export window when first asked
// for), and the message loop that runs until the main window closes.
#pragma once

#include <windows.h>

#include <memory>

#include "export_window.h"
#include "main_window.h"
#include "profile_export_window.h"
#include "small_windows.h"
#include "viewer_window.h"
#include "win32_desktop.h"

namespace quarvo::win32 {

// The common controls of version 6 the windows are made of.
void InitializeControls();

class ProgramWindows {
  public:
    // Makes the windows, all hidden; the main window's creation step has
    // filled in the default names.
    explicit ProgramWindows(Win32Desktop& desktop);
    ~ProgramWindows();

    [[nodiscard]] MainWindow& main() { return *main_; }
    [[nodiscard]] HelpWindow& help() { return *help_; }
    [[nodiscard]] ViewerWindow& viewer() { return *viewer_; }
    [[nodiscard]] AboutWindow& about() { return *about_; }
    [[nodiscard]] UnderConstructionWindow& underConstruction() { return *under_construction_; }
    // Made when the File menu first asks for them; null before.
    [[nodiscard]] ExportWindow* notesExport() { return notes_export_.get(); }
    [[nodiscard]] ExportWindow* mailExport() { return mail_export_.get(); }
    [[nodiscard]] ProfileExportWindow* profileExport() { return profile_export_.get(); }

  private:
    // Shows `kind`'s export window, made the first time and kept, so that
    // it keeps its names between uses.
    void ShowExportWindow(std::unique_ptr<ExportWindow>& window, const ExportKind& kind);

    Win32Desktop& desktop_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<ViewerWindow> viewer_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<UnderConstructionWindow> under_construction_;
    std::unique_ptr<ExportWindow> notes_export_;
    std::unique_ptr<ExportWindow> mail_export_;
    std::unique_ptr<ProfileExportWindow> profile_export_;
};

// Dispatches the thread's messages, with the keyboard's dialog navigation
// for `window`, until the quit message; returns its exit code.
int RunMessageLoop(HWND window);

// The whole program: returns when the main window has closed.
int RunProgram();

}  // namespace quarvo::win32
