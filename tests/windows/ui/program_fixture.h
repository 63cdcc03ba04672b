// SPDX-License-Identifier: MIT
// What the tests of quarvo.exe's windows share: the program's windows made
// in the test's process, their controls read and set through messages, the
// test's own folder as the current one, and pictures of the windows kept
// in QUARVO_SCREENSHOTS.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "start_up.h"
#include "ui_driver.h"
#include "win32_desktop.h"
#include "win32_test_folder.h"

namespace quarvo::testing {

inline std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

inline bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// While it lives, the current folder is `folder`, where the viewer leaves
// its backup; the previous one is given back so that the folder can be
// removed.
class InTestFolder {
  public:
    explicit InTestFolder(const std::string& folder) {
        GetCurrentDirectoryA(sizeof previous_, previous_);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~InTestFolder() { SetCurrentDirectoryA(previous_); }
    InTestFolder(const InTestFolder&) = delete;
    InTestFolder& operator=(const InTestFolder&) = delete;

  private:
    char previous_[MAX_PATH + 1] = {};
};

class MainWindowUiTest : public Win32TestFolder {
  protected:
    void SetUp() override {
        Win32TestFolder::SetUp();
        win32::InitializeControls();
    }

    void Start() {
        windows_ = std::make_unique<win32::ProgramWindows>(desktop_);
        windows_->main().Show();
        SetForegroundWindow(Main());
        PumpMessages(Main(), 300);
    }

    [[nodiscard]] HWND Main() const { return windows_->main().handle(); }
    [[nodiscard]] HWND Control(int id) const { return GetDlgItem(Main(), id); }
    [[nodiscard]] std::string Text(int id) const { return ControlText(Main(), id); }
    // The Opera files are counted off the window's thread: a panel is read
    // once the counts asked for so far have arrived.
    [[nodiscard]] std::string Panel(int panel) const {
        Settle();
        return PanelText(Control(IDC_STATUS), panel);
    }
    void Settle() const {
        const DWORD end = GetTickCount() + 10000;
        while (windows_ && windows_->main().Counting() &&
               static_cast<LONG>(end - GetTickCount()) > 0)
            PumpMessages(Main(), 0);
        EXPECT_FALSE(windows_ && windows_->main().Counting()) << "a count never arrived";
    }

    void SetText(int id, const std::string& text) {
        SetWindowTextA(Control(id), text.c_str());
        PumpMessages(Main(), 0);
    }

    // Presses Start conversion; returns the message boxes it showed.
    std::vector<MessageBoxCloser::Box> StartConversion() {
        MessageBoxCloser closer;
        SendMessageA(Control(IDC_START_CONVERSION), BM_CLICK, 0, 0);
        return closer.Boxes();
    }

    // Sends a command to `window` from inside whatever loop runs.
    static void Command(HWND window, int id, int code = 0, HWND from = nullptr) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
    }

    void Screenshot(HWND window, const std::string& name) {
        const std::string folder = environment("QUARVO_SCREENSHOTS");
        if (folder.empty()) return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        // The frame is drawn again as the active window's.
        SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(window, WM_NCPAINT, 1, 0);
        PumpMessages(window, 300);
        EXPECT_TRUE(SaveScreenshot(window, folder + "\\" + name + ".bmp")) << name;
    }

    win32::Win32Desktop desktop_;
    std::unique_ptr<win32::ProgramWindows> windows_;
};

}  // namespace quarvo::testing
