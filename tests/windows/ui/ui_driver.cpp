// SPDX-License-Identifier: MIT
#include "ui_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>

#include "resource_ids.h"

namespace quarvo::testing {

void PumpMessages(HWND window, int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (window && IsDialogMessageA(window, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::string PanelText(HWND status_bar, int panel) {
    const auto length = LOWORD(SendMessageA(status_bar, SB_GETTEXTLENGTHA, panel, 0));
    std::string text(length + 1u, '\0');
    SendMessageA(status_bar, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

std::string ControlText(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool SaveScreenshot(HWND window, const std::string& file_name) {
    RECT box;
    GetWindowRect(window, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, picture);
    // Only what lies on the screen is copied: a copy from beyond its edge
    // comes back black as a whole. The rest stays black.
    const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT shown;
    PatBlt(memory, 0, 0, width, height, BLACKNESS);
    if (IntersectRect(&shown, &box, &desktop)) {
        BitBlt(memory, shown.left - box.left, shown.top - box.top, shown.right - shown.left,
               shown.bottom - shown.top, screen, shown.left, shown.top, SRCCOPY);
    }
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int row = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(row) * static_cast<std::size_t>(height));
    const int rows = GetDIBits(memory, picture, 0, static_cast<UINT>(height), pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* file = std::fopen(file_name.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(&info, sizeof info, 1, file) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

Script* running_script = nullptr;

}  // namespace

Script::Script(std::vector<std::function<void()>> steps, int interval) : steps_(std::move(steps)) {
    running_script = this;
    timer_ = SetTimer(nullptr, 0, static_cast<UINT>(interval), Tick);
}

Script::~Script() {
    KillTimer(nullptr, timer_);
    running_script = nullptr;
}

bool Script::Done() const {
    return next_ == steps_.size();
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* script = running_script;
    if (!script || script->Done() || script->in_step_) return;
    script->in_step_ = true;
    script->steps_[script->next_]();
    ++script->next_;
    script->in_step_ = false;
}

namespace {

// A message box is a dialog whose text is the static control 0xFFFF; the
// program's report box has its own text and list.
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kReportText = IDC_REPORT_TEXT;
constexpr int kReportList = IDC_REPORT_LIST;

struct Found {
    std::vector<HWND> boxes;
};

BOOL CALLBACK find_box(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        std::string(class_name) == "#32770" &&
        (GetDlgItem(window, kMessageBoxText) || GetDlgItem(window, kReportList)))
        reinterpret_cast<Found*>(found)->boxes.push_back(window);
    return TRUE;
}

// What looks like a box before the closer starts is one of the program's own
// windows, such as the export window, whose labels are untitled statics as
// a message box's text is: never a box to close.
std::vector<HWND> WindowsLikeBoxes() {
    Found found;
    EnumWindows(find_box, reinterpret_cast<LPARAM>(&found));
    return found.boxes;
}

}  // namespace

MessageBoxCloser::MessageBoxCloser(int answer)
    : answer_(answer), closed_(WindowsLikeBoxes()), watcher_([this] { Watch(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
    stop_ = true;
    watcher_.join();
}

std::vector<MessageBoxCloser::Box> MessageBoxCloser::Boxes() {
    const std::lock_guard lock(mutex_);
    return boxes_;
}

void MessageBoxCloser::Watch() {
    while (!stop_) {
        Found found;
        EnumWindows(find_box, reinterpret_cast<LPARAM>(&found));
        for (HWND box : found.boxes) {
            const std::lock_guard lock(mutex_);
            if (std::find(closed_.begin(), closed_.end(), box) != closed_.end()) continue;
            closed_.push_back(box);
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof caption);
            Box seen{caption, ControlText(box, kMessageBoxText), {}, {}, {}};
            if (HWND list = GetDlgItem(box, kReportList)) {
                seen.text = ControlText(box, kReportText);
                seen.details.resize(static_cast<std::size_t>(GetWindowTextLengthW(list)) + 1);
                seen.details.resize(static_cast<std::size_t>(GetWindowTextW(
                    list, seen.details.data(), static_cast<int>(seen.details.size()))));
            }
            GetWindowRect(box, &seen.frame);
            if (HWND ok = GetDlgItem(box, IDOK)) GetWindowRect(ok, &seen.ok);
            boxes_.push_back(std::move(seen));
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer_.load()), 0);
        }
        Sleep(20);
    }
}

}  // namespace quarvo::testing
