// SPDX-License-Identifier: MIT
#include "profile_export_window.h"

#include <shlobj.h>

#include <algorithm>
#include <string>

#include "file_name_field.h"
#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

constexpr UINT kWake = WM_APP + 3;
constexpr int kStartGlyph = 3;  // of the toolbar's strips
constexpr int kExitGlyph = 5;
constexpr int kBrowsePicture = 3;  // of the image list
constexpr int kKindBoxes = 7;

// The controls an export disables while it runs (the kinds' boxes apart).
constexpr int kEditable[] = {IDC_PROFILE_LIST,          IDC_PROFILE_FOLDER,
                             IDC_BROWSE_PROFILE_FOLDER, IDC_PROFILE_TARGET,
                             IDC_BROWSE_PROFILE_TARGET, IDC_START_PROFILE_EXPORT,
                             IDC_CLOSE_PROFILE_EXPORT};

// An edit's text with its line ends as a multi-line edit needs them.
std::string WithCrLf(const std::string& text) {
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

}  // namespace

ProfileExportWindow::ProfileExportWindow(HWND owner, Desktop& desktop)
    : desktop_(desktop), logic_(*this, desktop) {
    Create(IDD_PROFILE_EXPORT, owner);
}

ProfileExportWindow::~ProfileExportWindow() {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(white_)})
        if (object) DeleteObject(object);
    if (browse_icon_) DestroyIcon(browse_icon_);
}

void ProfileExportWindow::Initialize() {
    handle_ = window_;
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    bold_ = BoldFontOf(control(IDC_PROFILE_LABEL));
    for (int id : {IDC_PROFILE_FOLDER_LABEL, IDC_PROFILE_KINDS_LABEL, IDC_PROFILE_TARGET_LABEL})
        SendMessageA(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    LayOut(window_, layouts::kProfileExportWindow, kProfileExportWindowIds);
    bold_ = FitLabelFont(window_, bold_);
    createButtons();
    HIMAGELIST pictures = LoadImageStrip(IDB_IMAGE_LIST);
    browse_icon_ = ImageList_GetIcon(pictures, kBrowsePicture, ILD_NORMAL);
    ImageList_Destroy(pictures);
    for (int id : {IDC_BROWSE_PROFILE_FOLDER, IDC_BROWSE_PROFILE_TARGET})
        SendMessageA(control(id), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(browse_icon_));
    HICON icon = LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_QUARVO));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetKinds({}, {});
    ShowRunning(false);
}

void ProfileExportWindow::createButtons() {
    HIMAGELIST glyphs = LoadImageStrip(IDB_TOOLBAR);
    HIMAGELIST disabled = LoadImageStrip(IDB_TOOLBAR_DISABLED);
    start_button_.Attach(control(IDC_START_PROFILE_EXPORT), glyphs, disabled, kStartGlyph);
    cancel_button_.Attach(control(IDC_CANCEL_PROFILE_EXPORT), glyphs, disabled, kExitGlyph);
    open_button_.Attach(control(IDC_OPEN_PROFILE_EXPORT), glyphs, disabled, kStartGlyph);
    close_button_.Attach(control(IDC_CLOSE_PROFILE_EXPORT), glyphs, disabled, kExitGlyph);
    ImageList_Destroy(glyphs);
    ImageList_Destroy(disabled);
}

void ProfileExportWindow::Shown() {
    RunReporting(desktop_, [this] { logic_.Shown(); });
    SetFocus(control(IDC_PROFILE_LIST));
}

INT_PTR ProfileExportWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(w), HIWORD(w));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            for (GlyphButton* button :
                 {&start_button_, &cancel_button_, &open_button_, &close_button_})
                if (button->Draw(window_, header)) return TRUE;
            return FALSE;
        }
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) != SC_CLOSE) return FALSE;
            RequestClose();
            return TRUE;
        case kWake:
            RunReporting(desktop_, [this] { logic_.Wake(); });
            return TRUE;
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(white_);
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(w), RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(white_);
        default:
            return FALSE;
    }
}

void ProfileExportWindow::Command(int id, int code) {
    const auto run = [this](auto action) { RunReporting(desktop_, action); };
    switch (id) {
        case IDC_START_PROFILE_EXPORT:
            run([this] { logic_.Start(); });
            return;
        case IDC_CANCEL_PROFILE_EXPORT:
            logic_.Cancel();
            return;
        case IDC_OPEN_PROFILE_EXPORT:
            run([this] { logic_.OpenFolder(); });
            return;
        case IDC_CLOSE_PROFILE_EXPORT:
        case IDCANCEL:
            RequestClose();
            return;
        case IDC_PROFILE_LIST:
            if (code == CBN_SELCHANGE && !filling_) run([this] { logic_.ProfileChosen(); });
            return;
        case IDC_PROFILE_FOLDER:
            // A folder typed is read once the field is left.
            if (code == EN_KILLFOCUS) run([this] { logic_.ProfileFolderChanged(); });
            return;
        case IDC_BROWSE_PROFILE_FOLDER:
            run([this] {
                BrowseFolder(IDC_PROFILE_FOLDER, L"The folder of the Opera profile");
                logic_.ProfileFolderChanged();
            });
            return;
        case IDC_BROWSE_PROFILE_TARGET:
            run([this] {
                BrowseFolder(IDC_PROFILE_TARGET,
                             L"The new folder to export into (made if it is not there)");
            });
            return;
        default:
            return;
    }
}

void ProfileExportWindow::RequestClose() {
    if (logic_.CloseRequested()) Close();
}

void ProfileExportWindow::BrowseFolder(int id, const wchar_t* title) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOW info{};
    info.hwndOwner = window_;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path)) {
            char bytes[MAX_PATH * 2] = {};
            WideCharToMultiByte(CP_ACP, 0, path, -1, bytes, sizeof bytes, nullptr, nullptr);
            SetWindowTextBytes(control(id), FieldTextForFileName(bytes));
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

void ProfileExportWindow::SetProfiles(const std::vector<std::string>& folders) {
    filling_ = true;
    HWND list = control(IDC_PROFILE_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& folder : folders)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    filling_ = false;
}

std::size_t ProfileExportWindow::ProfileChoice() const {
    const LRESULT chosen = SendMessageA(control(IDC_PROFILE_LIST), CB_GETCURSEL, 0, 0);
    return chosen == CB_ERR ? 0 : static_cast<std::size_t>(chosen);
}

std::string ProfileExportWindow::ProfileFolder() const {
    return FileNameFromFieldText(WindowText(control(IDC_PROFILE_FOLDER)));
}

void ProfileExportWindow::SetProfileFolder(const std::string& folder) {
    SetWindowTextBytes(control(IDC_PROFILE_FOLDER), FieldTextForFileName(folder));
}

void ProfileExportWindow::SetKinds(const std::vector<ProfileKindLine>& kinds,
                                   const std::string& untouched) {
    exportable_.assign(kKindBoxes, false);
    for (int i = 0; i < kKindBoxes; ++i) {
        HWND box = control(IDC_PROFILE_KIND1 + i);
        const auto at = static_cast<std::size_t>(i);
        const bool shown = at < kinds.size();
        ShowWindow(box, shown ? SW_SHOW : SW_HIDE);
        if (!shown) continue;
        SetWindowTextW(box, Utf16(kinds[at].text).c_str());
        SendMessageA(box, BM_SETCHECK, kinds[at].exports ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(box, kinds[at].exports);
        exportable_[at] = kinds[at].exports;
    }
    SetWindowTextW(control(IDC_PROFILE_UNTOUCHED), Utf16(untouched).c_str());
}

bool ProfileExportWindow::KindTicked(std::size_t kind) const {
    if (kind >= static_cast<std::size_t>(kKindBoxes)) return false;
    return SendMessageA(control(IDC_PROFILE_KIND1 + static_cast<int>(kind)), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

std::string ProfileExportWindow::TargetName() const {
    return FileNameFromFieldText(WindowText(control(IDC_PROFILE_TARGET)));
}

void ProfileExportWindow::SetTargetName(const std::string& name) {
    SetWindowTextBytes(control(IDC_PROFILE_TARGET), FieldTextForFileName(name));
}

void ProfileExportWindow::ShowRunning(bool running) {
    for (int id : kEditable) EnableWindow(control(id), !running);
    for (int i = 0; i < kKindBoxes; ++i)
        EnableWindow(control(IDC_PROFILE_KIND1 + i),
                     !running && exportable_[static_cast<std::size_t>(i)]);
    EnableWindow(control(IDC_CANCEL_PROFILE_EXPORT), running);
    if (running) SetFocus(control(IDC_CANCEL_PROFILE_EXPORT));
}

void ProfileExportWindow::ShowProgress(std::int64_t done, std::int64_t total) {
    HWND bar = control(IDC_PROFILE_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(std::min(done, total)), 0);
}

void ProfileExportWindow::ShowStatus(const std::string& text) {
    SetWindowTextBytes(control(IDC_PROFILE_STATUS), text);
}

void ProfileExportWindow::ShowReport(const std::string& text) {
    SetWindowTextBytes(control(IDC_PROFILE_REPORT), WithCrLf(text));
}

void ProfileExportWindow::EnableOpenFolder(bool enabled) {
    EnableWindow(control(IDC_OPEN_PROFILE_EXPORT), enabled);
}

void ProfileExportWindow::WakeWindowThread() {
    PostMessageA(handle_, kWake, 0, 0);
}

void ProfileExportWindow::CloseWindow() {
    Close();
}

}  // namespace quarvo::win32
