// SPDX-License-Identifier: MIT
// The help, about and under-construction windows on Win32: fixed texts and
// pictures, and the mail link of the about window.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <functional>

#include "glyph_button.h"
#include "desktop.h"
#include "modal_window.h"

namespace quarvo::win32 {

// The header of the help window: the logo, name, version and purpose,
// each of which shows the about window on a double click.
class HelpWindow final : public ModalWindow {
  public:
    HelpWindow(HWND owner, std::function<void()> show_about);
    ~HelpWindow() override;

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;
    void Shown() override;

    std::function<void()> show_about_;
    HFONT bold_ = nullptr;
    HFONT title_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBRUSH white_ = nullptr;
    GlyphButton close_button_;
};

class AboutWindow final : public ModalWindow {
  public:
    AboutWindow(HWND owner, Desktop& desktop);
    ~AboutWindow() override;

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;
    void SendEmail();

    Desktop& desktop_;
    HFONT bold_ = nullptr;
    HFONT title_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBITMAP mail_ = nullptr;
    HBRUSH white_ = nullptr;
};

// Made at start-up like the others, though no command shows it.
class UnderConstructionWindow final : public ModalWindow {
  public:
    explicit UnderConstructionWindow(HWND owner);
    ~UnderConstructionWindow() override;

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;

    HBITMAP picture_ = nullptr;
};

}  // namespace quarvo::win32
