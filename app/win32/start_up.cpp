// SPDX-License-Identifier: MIT
#include "start_up.h"

#include <Scintilla.h>
#include <commctrl.h>

#include "mail_export_kind.h"
#include "notes_export_kind.h"
#include "resource_ids.h"

namespace quarvo::win32 {

void InitializeControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC =
        ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);
    // The viewer's editor.
    Scintilla_RegisterClasses(GetModuleHandleW(nullptr));
}

ProgramWindows::ProgramWindows(Win32Desktop& desktop) : desktop_(desktop) {
    // The order is part of start-up's contract: the main window's creation
    // step runs before any other window exists.
    OtherWindows others;
    others.help = [this] { help_->ShowModal(); };
    others.about = [this] { about_->ShowModal(); };
    others.viewer = [this](const std::string& file_name) { viewer_->ShowFile(file_name); };
    others.export_notes = [this] { ShowExportWindow(notes_export_, NotesExportKind()); };
    others.export_mail = [this] { ShowExportWindow(mail_export_, MailExportKind()); };
    others.export_profile = [this] {
        if (!profile_export_)
            profile_export_ = std::make_unique<ProfileExportWindow>(main_->handle(), desktop_);
        profile_export_->ShowModal();
    };
    main_ = std::make_unique<MainWindow>(desktop, std::move(others));
    desktop_.SetMainWindow(main_->handle());
    HWND owner = main_->handle();
    help_ = std::make_unique<HelpWindow>(owner, [this] { about_->ShowModal(); });
    viewer_ = std::make_unique<ViewerWindow>(owner, desktop);
    about_ = std::make_unique<AboutWindow>(owner, desktop);
    under_construction_ = std::make_unique<UnderConstructionWindow>(owner);
}

ProgramWindows::~ProgramWindows() {
    // The owned windows go before the main window that owns them.
    mail_export_.reset();
    profile_export_.reset();
    notes_export_.reset();
    under_construction_.reset();
    about_.reset();
    viewer_.reset();
    help_.reset();
    desktop_.SetMainWindow(nullptr);
    main_.reset();
}

void ProgramWindows::ShowExportWindow(std::unique_ptr<ExportWindow>& window,
                                      const ExportKind& kind) {
    if (!window) window = std::make_unique<ExportWindow>(main_->handle(), kind, desktop_);
    window->ShowModal();
}

int RunMessageLoop(HWND window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunProgram() {
    InitializeControls();
    Win32Desktop desktop;
    ProgramWindows windows(desktop);
    windows.main().Show();
    return RunMessageLoop(windows.main().handle());
}

}  // namespace quarvo::win32
