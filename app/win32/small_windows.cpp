// SPDX-License-Identifier: MIT
#include "small_windows.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "mail_link.h"
#include "program_texts.h"
#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

// The exit picture of the toolbar's strips.
constexpr int kExitGlyph = 5;

// The help text of resources/help.txt, with Windows' line breaks.
std::wstring help_text() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_HELP_TEXT), MAKEINTRESOURCEA(10));
    if (!found) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string text;
    for (const char* c = data; c != data + SizeofResource(nullptr, found); ++c) {
        if (*c == '\n') text += '\r';
        text += *c;
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

INT_PTR white_background(UINT message, WPARAM w, HBRUSH white) {
    if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(white);
    SetBkColor(reinterpret_cast<HDC>(w), RGB(255, 255, 255));
    return reinterpret_cast<INT_PTR>(white);
}

bool is_header(int id) {
    return id == IDC_LOGO || id == IDC_TITLE || id == IDC_VERSION || id == IDC_PURPOSE1 ||
           id == IDC_PURPOSE2;
}

void set_bitmap(HWND control, HBITMAP picture) {
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

}  // namespace

HelpWindow::HelpWindow(HWND owner, std::function<void()> show_about)
    : show_about_(std::move(show_about)) {
    Create(IDD_HELP, owner);
}

HelpWindow::~HelpWindow() {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(title_),
                           static_cast<HGDIOBJ>(logo_), static_cast<HGDIOBJ>(white_)})
        if (object) DeleteObject(object);
}

void HelpWindow::Initialize() {
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    bold_ = BoldFontOf(control(IDC_PURPOSE1));
    SendMessageA(control(IDC_PURPOSE2), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    title_ = BoldFontOf(control(IDC_TITLE), 24);
    LayOut(window_, layouts::kHelpWindow, kHelpWindowIds);
    bold_ = FitLabelFont(window_, bold_);
    logo_ = LoadPicture(IDB_LOGO);
    set_bitmap(control(IDC_LOGO), logo_);
    SetWindowTextW(control(IDC_HELP_TEXT), help_text().c_str());
    // The close button's glyph: the exit picture and its disabled twin.
    HIMAGELIST glyphs = LoadImageStrip(IDB_TOOLBAR);
    HIMAGELIST disabled_glyphs = LoadImageStrip(IDB_TOOLBAR_DISABLED);
    close_button_.Attach(control(IDC_CLOSE), glyphs, disabled_glyphs, kExitGlyph);
    ImageList_Destroy(glyphs);
    ImageList_Destroy(disabled_glyphs);
}

void HelpWindow::Shown() {
    // Each showing starts at the top of the text, nothing selected.
    HWND text = control(IDC_HELP_TEXT);
    SetFocus(text);
    SendMessageA(text, EM_SETSEL, 0, 0);
    SendMessageA(text, EM_SCROLLCARET, 0, 0);
}

INT_PTR HelpWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_NOTIFY:
            return close_button_.Draw(window_, reinterpret_cast<const NMHDR*>(l)) ? TRUE : FALSE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return white_background(message, w, white_);
        case WM_COMMAND:
            if (LOWORD(w) == IDC_CLOSE || LOWORD(w) == IDCANCEL) {
                Close();
            } else if (is_header(LOWORD(w)) && HIWORD(w) == STN_DBLCLK && show_about_) {
                show_about_();
            }
            return TRUE;
        default:
            return FALSE;
    }
}

AboutWindow::AboutWindow(HWND owner, Desktop& desktop) : desktop_(desktop) {
    Create(IDD_ABOUT, owner);
}

AboutWindow::~AboutWindow() {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(title_),
                           static_cast<HGDIOBJ>(logo_), static_cast<HGDIOBJ>(mail_),
                           static_cast<HGDIOBJ>(white_)})
        if (object) DeleteObject(object);
}

void AboutWindow::Initialize() {
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    SetWindowTextA(control(IDC_EMAIL), kMakerAddress);
    bold_ = BoldFontOf(control(IDC_AUTHOR));
    for (int id : {IDC_PURPOSE1, IDC_PURPOSE2})
        SendMessageA(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    title_ = BoldFontOf(control(IDC_TITLE), 24);
    logo_ = LoadPicture(IDB_LOGO_LARGE);
    set_bitmap(control(IDC_LOGO), logo_);
    mail_ = LoadPicture(IDB_ABOUT_MAIL);
    set_bitmap(control(IDC_MAIL_PICTURE), mail_);
    // After the pictures, which size their controls to themselves: the
    // logo, scaled down, is smaller than its box.
    LayOut(window_, layouts::kAboutWindow, kAboutWindowIds);
    bold_ = FitLabelFont(window_, bold_);
}

void AboutWindow::SendEmail() {
    desktop_.OpenLink(MailLink(WindowText(control(IDC_EMAIL))));
}

INT_PTR AboutWindow::Handle(UINT message, WPARAM w, LPARAM) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return white_background(message, w, white_);
        case WM_SETCURSOR: {
            const auto over = reinterpret_cast<HWND>(w);
            if (over == control(IDC_EMAIL) || over == control(IDC_DROP_ME) ||
                over == control(IDC_MAIL_PICTURE)) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        }
        case WM_LBUTTONUP:
            // Only the window's free area gets the clicks here.
            Close();
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(w);
            const bool clicked = HIWORD(w) == STN_CLICKED || HIWORD(w) == STN_DBLCLK;
            if (id == IDCANCEL || (clicked && is_header(id))) {
                Close();
            } else if (clicked && (id == IDC_EMAIL || id == IDC_DROP_ME || id == IDC_MAIL_PICTURE)) {
                RunReporting(desktop_, [this] { SendEmail(); });
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

UnderConstructionWindow::UnderConstructionWindow(HWND owner) {
    Create(IDD_UNDER_CONSTRUCTION, owner);
}

UnderConstructionWindow::~UnderConstructionWindow() {
    if (picture_) DeleteObject(picture_);
}

void UnderConstructionWindow::Initialize() {
    LayOut(window_, layouts::kUnderConstruction, kUnderConstructionIds);
    picture_ = LoadPicture(IDB_UNDER_CONSTRUCTION);
    set_bitmap(control(IDC_LOGO), picture_);
}

INT_PTR UnderConstructionWindow::Handle(UINT message, WPARAM w, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(w) == IDC_LOGO && (HIWORD(w) == STN_CLICKED || HIWORD(w) == STN_DBLCLK)) Close();
    return TRUE;
}

}  // namespace quarvo::win32
