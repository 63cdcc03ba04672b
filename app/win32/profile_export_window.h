// SPDX-License-Identifier: MIT
// The whole-profile export window on Win32: the dialog IDD_PROFILE_EXPORT
// of quarvo.rc. It shows what ProfileWindowLogic decides; the export runs
// on a thread of the logic's, whose wakes come back here as posted
// messages, so the window keeps handling its messages meanwhile.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <vector>

#include "desktop.h"
#include "glyph_button.h"
#include "modal_window.h"
#include "profile_window_logic.h"

namespace quarvo::win32 {

class ProfileExportWindow final : public ModalWindow, private ProfileExportView {
  public:
    ProfileExportWindow(HWND owner, Desktop& desktop);
    ~ProfileExportWindow() override;

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;
    void Shown() override;
    void Command(int id, int code);
    void createButtons();
    void RequestClose();
    // A folder chosen, or made, in the folder dialog, into the field `id`.
    void BrowseFolder(int id, const wchar_t* title);

    void SetProfiles(const std::vector<std::string>& folders) override;
    [[nodiscard]] std::size_t ProfileChoice() const override;
    [[nodiscard]] std::string ProfileFolder() const override;
    void SetProfileFolder(const std::string& folder) override;
    void SetKinds(const std::vector<ProfileKindLine>& kinds, const std::string& untouched) override;
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

    Desktop& desktop_;
    ProfileWindowLogic logic_;
    HWND handle_ = nullptr;  // for the export's thread
    HFONT bold_ = nullptr;
    HBRUSH white_ = nullptr;
    HICON browse_icon_ = nullptr;
    std::vector<bool> exportable_;  // per kind box: may be ticked
    bool filling_ = false;
    GlyphButton start_button_;
    GlyphButton cancel_button_;
    GlyphButton open_button_;
    GlyphButton close_button_;
};

}  // namespace quarvo::win32
