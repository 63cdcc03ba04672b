// SPDX-License-Identifier: MIT
#include "modal_window.h"

#include "window_support.h"

namespace quarvo::win32 {
namespace {

struct ThreadWindows {
    HWND except;
    std::vector<HWND> disabled;
};

BOOL CALLBACK disable_window(HWND window, LPARAM l) {
    auto* windows = reinterpret_cast<ThreadWindows*>(l);
    if (window != windows->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        windows->disabled.push_back(window);
    }
    return TRUE;
}

}  // namespace

ModalWindow::~ModalWindow() {
    if (window_) DestroyWindow(window_);
}

void ModalWindow::Create(int dialog_id, HWND owner) {
    CreateDialogParamA(ProgramInstance(), MAKEINTRESOURCEA(dialog_id), owner, DialogProc,
                       reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalWindow::DialogProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalWindow*>(l);
        SetWindowLongPtrA(window, DWLP_USER, l);
        self->window_ = window;
        self->Initialize();
        return FALSE;
    }
    auto* self = reinterpret_cast<ModalWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_CLOSE) {
        if (self->MayClose()) self->Close();
        return TRUE;
    }
    return self->Handle(message, w, l);
}

void ModalWindow::ShowModal() {
    if (showing_) return;
    HWND over = GetActiveWindow();
    ThreadWindows others{window_, {}};
    EnumThreadWindows(GetCurrentThreadId(), disable_window, reinterpret_cast<LPARAM>(&others));
    CentreOver(window_, over ? over : GetWindow(window_, GW_OWNER));
    showing_ = true;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    Shown();
    MSG message;
    bool quit = false;
    while (showing_) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        HACCEL keys = Accelerators();
        if (keys && (message.hwnd == window_ || IsChild(window_, message.hwnd)) &&
            TranslateAcceleratorW(window_, keys, &message))
            continue;
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    showing_ = false;
    for (HWND window : others.disabled) EnableWindow(window, TRUE);
    ShowWindow(window_, SW_HIDE);
    if (over && IsWindow(over)) SetActiveWindow(over);
    // The program is ending: the loops outside this one end too.
    if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

void ModalWindow::Close() {
    showing_ = false;
    // Wakes the loop of the showing when the call came from another loop.
    PostMessageA(window_, WM_NULL, 0, 0);
}

}  // namespace quarvo::win32
