// SPDX-License-Identifier: MIT
#include "viewer_window.h"

#include <ILoader.h>
#include <Scintilla.h>

#include <array>
#include <new>
#include <vector>

#include "program_texts.h"
#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

using layouts::kFileViewer;

constexpr UINT kActivate = WM_APP + 1;
constexpr int kBalloonPicture = 10;

// Paints what waits to be painted, without taking any input: the window
// shows its work while a long step keeps the loop from running.
void PaintNow() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&message);
}

// The wait cursor and the progress bar in the viewer's toolbar while a file
// is read, loaded or written.
class Busy : public BusyIndicator {
  public:
    Busy(HWND bar, int steps) : bar_(bar), old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {
        SendMessageW(bar_, PBM_SETRANGE32, 0, steps);
        SendMessageW(bar_, PBM_SETPOS, 0, 0);
        SetWindowPos(bar_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(GetParent(bar_), nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PaintNow();
    }
    ~Busy() override {
        ShowWindow(bar_, SW_HIDE);
        SetCursor(old_);
    }
    void Step() override {
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(++done_), 0);
        UpdateWindow(bar_);
        PaintNow();
    }

  private:
    HWND bar_;
    HCURSOR old_;
    int done_ = 0;
};

// Where the progress shows: in the toolbar, right of its buttons.
constexpr RECT kProgressPlace{150, 4, 450, 24};

// A key held with Ctrl (Ctrl+E, Ctrl+Q) that the editor has no command for
// comes to it as a control character, which it would put into the file.
LRESULT CALLBACK no_control_characters(HWND editor, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                       DWORD_PTR) {
    if (message == WM_CHAR && (w < 0x20 || w == 0x7F)) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(editor, no_control_characters, 0);
    return DefSubclassProc(editor, message, w, l);
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFamilyPresent(const char* family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = Utf16(family);
    if (name.size() >= LF_FACESIZE) return false;
    name.copy(wanted.lfFaceName, name.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The editor's font, or where a system lacks it (Wine without Windows'
// fonts), a fixed-pitch one it has: the editor does not look for one itself.
const char* EditorFontFamily() {
    for (const char* family :
         {kEditorFontFamily, "Liberation Mono", "DejaVu Sans Mono", "Courier"}) {
        if (FontFamilyPresent(family)) return family;
    }
    return kEditorFontFamily;
}

}  // namespace

ViewerWindow::ViewerWindow(HWND owner, Desktop& desktop)
    : desktop_(desktop), document_(*this, desktop) {
    Create(IDD_VIEWER, owner);
}

ViewerWindow::~ViewerWindow() {
    if (keys_) DestroyAcceleratorTable(keys_);
    if (pictures_) ImageList_Destroy(pictures_);
    if (hint_icon_) DestroyIcon(hint_icon_);
}

void ViewerWindow::Initialize() {
    CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                    window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)),
                    ProgramInstance(), nullptr);
    LayOut(window_, kFileViewer, kFileViewerIds);
    setUpEditor();
    createToolBar();
    keys_ = LoadAcceleratorsW(ProgramInstance(), MAKEINTRESOURCEW(IDA_VIEWER));
    MoveWindow(control(IDC_LOAD_PROGRESS), Scaled(window_, kProgressPlace.left),
               Scaled(window_, kProgressPlace.top),
               Scaled(window_, kProgressPlace.right - kProgressPlace.left),
               Scaled(window_, kProgressPlace.bottom - kProgressPlace.top), FALSE);
}

LRESULT ViewerWindow::editor(UINT message, WPARAM w, LPARAM l) const {
    return SendMessageW(control(IDC_EDITOR), message, w, l);
}

void ViewerWindow::setUpEditor() {
    // Nothing here listens for changes.
    editor(SCI_SETMODEVENTMASK, 0, 0);
    editor(SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<LPARAM>(EditorFontFamily()));
    // In hundredths of a point; the editor scales them to the screen.
    editor(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, kEditorFontPixels * 7200 / 96);
    editor(SCI_STYLECLEARALL, 0, 0);
    editor(SCI_SETWRAPMODE, SC_WRAP_NONE, 0);
    for (int margin = 0; margin < 5; ++margin) editor(SCI_SETMARGINWIDTHN, margin, 0);
    editor(SCI_SETEDGEMODE, EDGE_LINE, 0);
    editor(SCI_SETEDGECOLUMN, kEditorRightMargin, 0);
    editor(SCI_SETEDGECOLOUR, RGB(kEditorMarginGrey, kEditorMarginGrey, kEditorMarginGrey), 0);
    editor(SCI_SETSELFORE, TRUE, static_cast<LPARAM>(GetSysColor(COLOR_HIGHLIGHTTEXT)));
    editor(SCI_SETSELBACK, TRUE, static_cast<LPARAM>(GetSysColor(COLOR_HIGHLIGHT)));
    // Lines longer than the window widen the scroll range as they are shown.
    editor(SCI_SETSCROLLWIDTH, 1, 0);
    editor(SCI_SETSCROLLWIDTHTRACKING, TRUE, 0);
    SetWindowSubclass(control(IDC_EDITOR), no_control_characters, 0, 0);
    SetText({}, nullptr);
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
                    RunReporting(desktop_, [this] { (void)document_.Save(file_name_); });
                    break;
                case ID_SAVE_AS:
                    RunReporting(desktop_, [this] { (void)document_.SaveAs(file_name_); });
                    break;
                case ID_CLOSE_VIEWER:
                case IDCANCEL:
                    if (MayClose()) Close();
                    break;
                default:
                    break;
            }
            return TRUE;
        default:
            return FALSE;
    }
}

bool ViewerWindow::MayClose() {
    bool may_close = false;
    RunReporting(desktop_, [this, &may_close] { may_close = document_.MayClose(file_name_); });
    return may_close;
}

void ViewerWindow::SetCaption(const std::string& caption) {
    SetWindowTextA(window_, caption.c_str());
    // The work that follows keeps the loop from running: the frame is
    // painted with the new caption now, not with the last file's.
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void ViewerWindow::SetText(std::string_view file_bytes, BusyIndicator* busy) {
    encoding_ = ChooseEncoding(file_bytes);
    // The document is built apart from the view, which would otherwise
    // spend time on every piece in proportion to what it already shows. It
    // keeps no styles, which would be a second buffer of the text's size.
    auto* loader = reinterpret_cast<Scintilla::ILoader*>(
        editor(SCI_CREATELOADER, file_bytes.size() + file_bytes.size() / 16,
               SC_DOCUMENTOPTION_STYLES_NONE));
    if (loader == nullptr) throw std::bad_alloc();
    try {
        ForEachEditorPiece(file_bytes, encoding_, [loader, busy](std::string_view piece) {
            if (loader->AddData(piece.data(), static_cast<Sci_Position>(piece.size())) != 0)
                throw std::bad_alloc();
            if (busy) busy->Step();
        });
    } catch (...) {
        loader->Release();
        throw;
    }
    void* document = loader->ConvertToDocument();
    editor(SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(document));
    editor(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(document));

    // What the editor keeps with the document rather than the view.
    editor(SCI_SETCODEPAGE, SC_CP_UTF8, 0);
    // A line the user adds ends as the file's first line does.
    switch (FirstLineBreak(file_bytes)) {
        case LineBreak::CrLf:
            editor(SCI_SETEOLMODE, SC_EOL_CRLF, 0);
            break;
        case LineBreak::Lf:
            editor(SCI_SETEOLMODE, SC_EOL_LF, 0);
            break;
        case LineBreak::Cr:
            editor(SCI_SETEOLMODE, SC_EOL_CR, 0);
            break;
    }
    editor(SCI_SETTABWIDTH, kEditorTabWidth, 0);
    // Setting the code page has brought back the editor's own names.
    for (const StandInName& shown : StandInNames()) {
        editor(SCI_SETREPRESENTATION, reinterpret_cast<WPARAM>(shown.stand_in.c_str()),
               reinterpret_cast<LPARAM>(shown.name.c_str()));
    }
    editor(SCI_SETUNDOCOLLECTION, TRUE, 0);
    editor(SCI_SETSAVEPOINT, 0, 0);
}

EncodedText ViewerWindow::Text() const {
    const auto length = static_cast<std::size_t>(editor(SCI_GETLENGTH, 0, 0));
    if (length == 0) return {};
    const auto* text = reinterpret_cast<const char*>(editor(SCI_GETCHARACTERPOINTER, 0, 0));
    return FromEditorText(std::string_view(text, length), encoding_);
}

bool ViewerWindow::Modified() const {
    return editor(SCI_GETMODIFY, 0, 0) != 0;
}

void ViewerWindow::MarkSaved() {
    editor(SCI_SETSAVEPOINT, 0, 0);
}

std::unique_ptr<BusyIndicator> ViewerWindow::ShowBusy(const std::string&, int steps) {
    return std::make_unique<Busy>(control(IDC_LOAD_PROGRESS), steps);
}

}  // namespace quarvo::win32
