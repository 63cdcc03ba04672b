// SPDX-License-Identifier: MIT
// The main window on Win32: the dialog IDD_MAIN of quarvo.rc with its
// toolbar, status panels, progress bar and balloon hints. It shows what
// MainWindowLogic decides and passes its controls' events on.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <string>

#include "desktop.h"
#include "glyph_button.h"
#include "main_window_logic.h"
#include "off_thread_work.h"

namespace quarvo::win32 {

// The windows the main window opens, each shown modally over it.
struct OtherWindows {
    std::function<void()> help;
    std::function<void()> about;
    std::function<void(const std::string& file_name)> viewer;
    std::function<void()> export_notes;
    std::function<void()> export_mail;
    std::function<void()> export_profile;
};

class MainWindow final : private MainWindowView {
  public:
    // Makes the window, hidden, and runs its creation step, which fills in
    // the default names.
    MainWindow(Desktop& desktop, OtherWindows others);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    [[nodiscard]] HWND handle() const { return window_; }
    // An Opera file's count is still running off the window's thread.
    [[nodiscard]] bool Counting() const { return logic_.Counting(); }
    // Shows the window centred on the screen; the first showing counts.
    void Show();

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM l);
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l);
    void Initialize();
    void createToolBar();
    void createStatusBar();
    void createHints();
    void createFonts();
    void addHint(int id, const char* text);
    void createMenuPictures();
    void drawMenuPicture(const DRAWITEMSTRUCT& item) const;
    void Command(int id, int code);
    // The choices of the two output menus, passed on to the logic.
    void ChooseOutput(int id);
    void Browse(NameField field);
    [[nodiscard]] HWND control(int id) const { return GetDlgItem(window_, id); }

    [[nodiscard]] std::string FileName(NameField field) const override;
    void SetFileName(NameField field, const std::string& name) override;
    void ShowCounts(const ItemCounts& counts) override;
    void EnableStartCommand(bool enabled) override;
    void ShowProgress(bool shown) override;
    void StepProgress() override;
    void ShowViewer(const std::string& file_name) override;
    void ShowContactsOutput(const ContactsOutputChoice& choice) override;
    void CountOffThread(std::function<EntryCount()> count,
                        std::function<void(EntryCount)> done) override;

    Desktop& desktop_;
    OtherWindows others_;
    // The counts of the Opera files (before the logic, which they report to).
    OffThreadWork counting_;
    MainWindowLogic logic_;
    HWND window_ = nullptr;
    HWND hints_ = nullptr;
    HFONT bold_ = nullptr;
    HFONT title_ = nullptr;
    HBITMAP logo_ = nullptr;
    HIMAGELIST glyphs_ = nullptr;
    HIMAGELIST disabled_glyphs_ = nullptr;
    GlyphButton start_button_;
    HIMAGELIST pictures_ = nullptr;
    HICON hint_icon_ = nullptr;
    HICON browse_icon_ = nullptr;
    HBRUSH white_ = nullptr;
    // The text of the toolbar hint last asked for in UTF-16.
    std::wstring tip_buffer_;
    // The contacts output field's hint and browse filter, which name the
    // format chosen.
    std::string contacts_hint_;
    int contacts_filter_index_ = 2;
    // The progress bar's position, shown at most every kProgressInterval:
    // a bar stepped once per bookmark spends far longer painting than the
    // conversion takes.
    int progress_ = 0;
    int progress_maximum_ = 0;
    DWORD progress_shown_at_ = 0;
};

}  // namespace quarvo::win32
