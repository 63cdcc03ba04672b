// SPDX-License-Identifier: MIT
#include "win32_desktop.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "program_texts.h"
#include "report_box.h"
#include "shell_folders.h"
#include "window_support.h"

namespace quarvo::win32 {
HWND Win32Desktop::owner() const {
    HWND active = GetActiveWindow();
    return active ? active : main_window_;
}

void Win32Desktop::ShowMessage(std::string_view text) {
    // The box of a conversion's result has no icon. It belongs to the window
    // that shows it: owned by the main window under the export window, it
    // would bring the main window over the export window when it closes.
    MessageBoxA(owner(), std::string(text).c_str(), kApplicationTitle, MB_OK);
}

void Win32Desktop::ShowReport(std::string_view text, std::string_view details) {
    ShowReportBox(owner(), text, details);
}

void Win32Desktop::ReportError(std::string_view message) {
    MessageBoxA(owner(), std::string(message).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

bool Win32Desktop::AskToSaveAnyway(std::string_view question) {
    return MessageBoxW(owner(), Utf16(question).c_str(), Utf16(kApplicationTitle).c_str(),
                       MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDOK;
}

SaveChoice Win32Desktop::AskToSaveChanges(std::string_view question) {
    switch (MessageBoxA(owner(), std::string(question).c_str(), kApplicationTitle,
                        MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            return SaveChoice::Save;
        case IDNO:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool Win32Desktop::AskToReplace(std::string_view question) {
    return MessageBoxA(owner(), std::string(question).c_str(), kApplicationTitle,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> Win32Desktop::AskSaveFileName(const std::string& suggested) {
    std::vector<char> name(32768, '\0');
    suggested.copy(name.data(), name.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return std::nullopt;
    return std::string(name.data());
}

void Win32Desktop::OpenLink(const std::string& link) {
    ShellExecuteA(main_window_ ? main_window_ : owner(), nullptr, link.c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
}

std::string Win32Desktop::LookUpFolder(std::uint8_t kind) {
    return GetShellFolderPath(kind);
}

}  // namespace quarvo::win32
