// SPDX-License-Identifier: MIT
// The desktop as Qt offers it: the program's message boxes, captioned with
// the application title, the save dialog, the platform's opener of links
// and the system's folder lookup.
#pragma once

#include "desktop.h"

class QWidget;

namespace quarvo {

class QtDesktop : public Desktop {
  public:
    // The window the program's messages are shown over.
    void setMainWindow(QWidget* window) { main_window_ = window; }

    // The program's boxes are centred over the window they belong to.
    void ShowMessage(std::string_view text) override;
    void ShowReport(std::string_view text, std::string_view details) override;
    // The error box goes over whichever window of the program is active.
    void ReportError(std::string_view message) override;
    // The questions and the save dialog go over the window that asks: the
    // modal one, else the active one.
    [[nodiscard]] bool AskToSaveAnyway(std::string_view question) override;
    [[nodiscard]] SaveChoice AskToSaveChanges(std::string_view question) override;
    [[nodiscard]] bool AskToReplace(std::string_view question) override;
    [[nodiscard]] std::optional<std::string> AskSaveFileName(const std::string& suggested) override;
    void OpenLink(const std::string& link) override;
    [[nodiscard]] std::string LookUpFolder(std::uint8_t kind) override;

  protected:
    // The window an opened link belongs to: the main window, else the
    // active one.
    [[nodiscard]] QWidget* linkOwner() const;

  private:
    QWidget* main_window_ = nullptr;
};

}  // namespace quarvo
