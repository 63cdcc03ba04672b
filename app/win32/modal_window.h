// SPDX-License-Identifier: MIT
// A window of the program other than the main one: made once from its
// dialog of quarvo.rc, hidden, and then shown modally as often as asked,
// each showing running its own message loop until the window closes.
#pragma once

#include <windows.h>

#include <vector>

namespace quarvo::win32 {

class ModalWindow {
  public:
    virtual ~ModalWindow();
    ModalWindow(const ModalWindow&) = delete;
    ModalWindow& operator=(const ModalWindow&) = delete;

    [[nodiscard]] HWND handle() const { return window_; }

    // Shows the window centred over the active window of the program, the
    // others disabled, and returns when it has closed.
    void ShowModal();
    // Ends the showing.
    void Close();
    [[nodiscard]] bool Showing() const { return showing_; }

  protected:
    ModalWindow() = default;
    // Makes the window from dialog `dialog_id`, owned by `owner`; runs
    // Initialize. Called at the end of a window's constructor.
    void Create(int dialog_id, HWND owner);

    virtual void Initialize() = 0;
    // A message for the window; FALSE leaves it to the dialog's defaults.
    virtual INT_PTR Handle(UINT message, WPARAM w, LPARAM l) = 0;
    // The window has just been shown.
    virtual void Shown() {}
    // The keys that run the window's commands while it is shown; nullptr
    // for none.
    [[nodiscard]] virtual HACCEL Accelerators() const { return nullptr; }
    // Whether the window may close now, as asked by its frame's close
    // (Alt+F4, the close button, the system menu): a window with unsaved
    // work asks the user here.
    [[nodiscard]] virtual bool MayClose() { return true; }

    [[nodiscard]] HWND control(int id) const { return GetDlgItem(window_, id); }

    HWND window_ = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM l);

    bool showing_ = false;
};

}  // namespace quarvo::win32
