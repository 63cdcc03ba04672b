// SPDX-License-Identifier: MIT
// The desktop as Windows offers it: message boxes captioned with the
// application title, the common save dialog, the shell's opener of links
// and the registry's folder lookup.
#pragma once

#include <windows.h>

#include "desktop.h"

namespace quarvo::win32 {

class Win32Desktop : public Desktop {
  public:
    // The window the program's boxes and opened links belong to.
    void SetMainWindow(HWND window) { main_window_ = window; }

    void ShowMessage(std::string_view text) override;
    void ShowReport(std::string_view text, std::string_view details) override;
    void ReportError(std::string_view message) override;
    [[nodiscard]] bool AskToSaveAnyway(std::string_view question) override;
    // Yes saves, No discards.
    [[nodiscard]] SaveChoice AskToSaveChanges(std::string_view question) override;
    [[nodiscard]] bool AskToReplace(std::string_view question) override;
    [[nodiscard]] std::optional<std::string> AskSaveFileName(const std::string& suggested) override;
    void OpenLink(const std::string& link) override;
    [[nodiscard]] std::string LookUpFolder(std::uint8_t kind) override;

  private:
    // The window that asks: the program's active window, else the main one.
    [[nodiscard]] HWND owner() const;

    HWND main_window_ = nullptr;
};

}  // namespace quarvo::win32
