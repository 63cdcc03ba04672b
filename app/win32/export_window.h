// SPDX-License-Identifier: MIT
// The export window on Win32: the dialog IDD_EXPORT of quarvo.rc, one for
// every kind of Opera data, its texts from the kind's table. It shows what
// ExportWindowLogic decides; the export runs on a thread of the logic's,
// whose wakes come back here as posted messages, so the window keeps
// handling its messages meanwhile.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include "desktop.h"
#include "export_window_logic.h"
#include "glyph_button.h"
#include "modal_window.h"

namespace quarvo::win32 {

class ExportWindow final : public ModalWindow, private ExportView {
  public:
    ExportWindow(HWND owner, const ExportKind& kind, Desktop& desktop);
    ~ExportWindow() override;

    [[nodiscard]] const ExportWindowLogic& logic() const { return logic_; }

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;
    void Shown() override;
    void Command(int id, int code);
    void setKindTexts();
    void fitChoiceList();
    void createButtons();
    // Escape, Close and the title bar's close button.
    void RequestClose();
    void BrowseSource();
    void BrowseTarget();
    // The target's browse dialog and filter follow the chosen output.
    [[nodiscard]] const ExportChoice& chosen() const;

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

    const ExportKind& kind_;
    Desktop& desktop_;
    ExportWindowLogic logic_;
    HWND handle_ =
        nullptr;  // for the export's thread, which may not touch window_ while it is made
    HFONT bold_ = nullptr;
    HBRUSH white_ = nullptr;
    HICON browse_icon_ = nullptr;
    GlyphButton start_button_;
    GlyphButton cancel_button_;
    GlyphButton close_button_;
};

}  // namespace quarvo::win32
