// SPDX-License-Identifier: MIT
#include "viewer_window.h"

#include <array>
#include <vector>

#include "program_texts.h"
#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

using layouts::kFileViewer;

constexpr UINT kActivate = WM_APP + 1;
constexpr int kBalloonPicture = 10;

// The wait cursor while a file loads.
class WaitCursor : public BusyIndicator {
  public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() override { SetCursor(old_); }
    void Step() override {}

  private:
    HCURSOR old_;
};

}  // namespace

ViewerWindow::ViewerWindow(HWND owner, Desktop& desktop)
    : desktop_(desktop), document_(*this, desktop) {
    Create(IDD_VIEWER, owner);
}

ViewerWindow::~ViewerWindow() {
    if (mono_) DeleteObject(mono_);
    if (pictures_) ImageList_Destroy(pictures_);
    if (hint_icon_) DestroyIcon(hint_icon_);
}

void ViewerWindow::Initialize() {
    // A Unicode window: the text goes in and out as UTF-16, never through
    // the system's code page, which cannot hold every character a file
    // may have.
    CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                    0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)),
                    ProgramInstance(), nullptr);
    LayOut(window_, kFileViewer, kFileViewerIds);
    mono_ = CreateFontA(-Scaled(window_, 13), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, "Courier New");
    HWND editor = control(IDC_EDITOR);
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(mono_), FALSE);
    // As much text as the file holds: the default limit is 30,000 characters.
    SendMessageA(editor, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    createToolBar();
}

void ViewerWindow::createToolBar() {
    HWND bar = control(IDC_TOOLBAR);
    pictures_ = LoadImageStrip(IDB_IMAGE_LIST);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_));
    AddToolButtons(bar, kFileViewer, kViewerToolCommands);
    // The search is not part of the viewer.
    SendMessageA(bar, TB_ENABLEBUTTON, ID_SEARCH, FALSE);
    hint_icon_ = ImageList_GetIcon(pictures_, kBalloonPicture, ILD_NORMAL);
    MakeBalloons(bar, hint_icon_);
}

void ViewerWindow::ShowFile(const std::string& file_name) {
    file_name_ = file_name;
    ShowModal();
}

void ViewerWindow::Shown() {
    SetFocus(control(IDC_EDITOR));
    // Once per showing, from the showing's loop, so that an error's box
    // appears over the viewer.
    PostMessageA(window_, kActivate, 0, 0);
}

INT_PTR ViewerWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case kActivate:
            RunReporting(desktop_, [this] { document_.Show(file_name_); });
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            const char* hint = ToolHint(kFileViewer, kViewerToolCommands, header->idFrom);
            if (header->code == TTN_GETDISPINFOA && hint) {
                reinterpret_cast<NMTTDISPINFOA*>(l)->lpszText = const_cast<char*>(hint);
            } else if (header->code == TTN_GETDISPINFOW && hint) {
                tip_buffer_ = Utf16(hint);
                reinterpret_cast<NMTTDISPINFOW*>(l)->lpszText = tip_buffer_.data();
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(w)) {
                case ID_RELOAD:
                    RunReporting(desktop_, [this] { document_.Reload(file_name_); });
                    break;
                case ID_SAVE:
                    RunReporting(desktop_, [this] { document_.Save(file_name_); });
                    break;
                case ID_SAVE_AS:
                    RunReporting(desktop_, [this] { document_.SaveAs(file_name_); });
                    break;
                case ID_CLOSE_VIEWER:
                    Close();
                    break;
                default:
                    // Escape (IDCANCEL) must not drop the user's edits: the
                    // toolbar's close button is the one way back.
                    break;
            }
            return TRUE;
        default:
            return FALSE;
    }
}

void ViewerWindow::SetCaption(const std::string& caption) {
    SetWindowTextA(window_, caption.c_str());
}

void ViewerWindow::SetText(std::string_view file_bytes) {
    encoding_ = ChooseEncoding(file_bytes);
    const std::wstring text = Utf16(ToEditorText(file_bytes, encoding_));
    HWND editor = control(IDC_EDITOR);
    SetWindowTextW(editor, text.c_str());
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
    loaded_one_empty_line_ = text.empty() && !file_bytes.empty();
}

EncodedText ViewerWindow::Text() const {
    HWND editor = control(IDC_EDITOR);
    const int length = GetWindowTextLengthW(editor);
    if (length == 0 && !(loaded_one_empty_line_ && !SendMessageA(editor, EM_GETMODIFY, 0, 0)))
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(editor, text.data(), length + 1)));
    return FromEditorText(Utf8(text), encoding_);
}

std::unique_ptr<BusyIndicator> ViewerWindow::ShowBusy(const std::string&, int) {
    return std::make_unique<WaitCursor>();
}

}  // namespace quarvo::win32
