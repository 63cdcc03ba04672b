// SPDX-License-Identifier: MIT
// Driving quarvo.exe's windows from a test in the same process: messages
// run as the program's loop runs them, the program's message boxes are
// read and closed from a second thread, and a window's picture is saved
// as the screen shows it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarvo::testing {

// Runs the thread's messages for `milliseconds`, with the keyboard's dialog
// navigation for `window`.
void PumpMessages(HWND window, int milliseconds);

// Text of a status bar's panel.
[[nodiscard]] std::string PanelText(HWND status_bar, int panel);

[[nodiscard]] std::string ControlText(HWND window, int id);

// Saves what the screen shows of `window`, frame and all, as a 24-bit
// BMP file. Returns false when it cannot.
bool SaveScreenshot(HWND window, const std::string& file_name);

// Presses `keys` one after the other and lets them go in the opposite
// order, through the system's input as a keyboard does: {VK_CONTROL, 'S'}
// is Ctrl+S. The keys go to the window that has the keyboard's focus.
void PressKeys(std::initializer_list<WORD> keys);

// Steps to take while a modal window runs its own message loop: from the
// time it is made, one step every `interval` milliseconds, each run by
// whichever loop of the thread is running then.
class Script {
  public:
    explicit Script(std::vector<std::function<void()>> steps, int interval = 200);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Every step has run.
    [[nodiscard]] bool Done() const;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    // A step that runs messages itself sees no tick until it is done.
    bool in_step_ = false;
    UINT_PTR timer_ = 0;
};

// While it lives, closes every message box of this process with `answer`
// (OK unless said) and keeps its caption and text, in the order they came;
// the program's report boxes too, with their list and where they lay.
class MessageBoxCloser {
  public:
    struct Box {
        std::string caption;
        std::string text;
        std::wstring details;  // a report box's list
        RECT frame{};          // on the screen
        RECT ok{};             // the OK button, on the screen
    };

    explicit MessageBoxCloser(int answer = IDOK);
    // The answer to the boxes that come from now on.
    void Answer(int answer) { answer_ = answer; }
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    [[nodiscard]] std::vector<Box> Boxes();

  private:
    void Watch();

    std::atomic<bool> stop_{false};
    std::atomic<int> answer_;
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::vector<HWND> closed_;
    std::thread watcher_;
};

}  // namespace quarvo::testing
