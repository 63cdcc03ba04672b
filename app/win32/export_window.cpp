// SPDX-License-Identifier: MIT
#include "export_window.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "file_name_field.h"
#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

using layouts::kExportWindow;

constexpr UINT kWake = WM_APP + 2;
constexpr int kStartGlyph = 3;  // of the toolbar's strips
constexpr int kExitGlyph = 5;
constexpr int kBrowsePicture = 3;  // of the image list

// The controls an export disables while it runs.
constexpr int kEditable[] = {IDC_EXPORT_SOURCE,  IDC_BROWSE_EXPORT_SOURCE, IDC_EXPORT_CHOICE,
                             IDC_EXPORT_TARGET,  IDC_BROWSE_EXPORT_TARGET, IDC_EXPORT_OPTION1,
                             IDC_EXPORT_OPTION2, IDC_START_EXPORT,         IDC_CLOSE_EXPORT};

// An open or save dialog on `name`, with `filter` ('|' between its parts).
bool AskFileName(HWND owner, std::string& name, std::string_view filter, bool save) {
    std::string filters(filter);
    for (char& c : filters)
        if (c == '|') c = '\0';
    filters.append(2, '\0');
    std::vector<char> buffer(32768, '\0');
    name.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = "Browse";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const bool chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (chosen) name = buffer.data();
    return chosen;
}

// The folder dialog, which can make a folder too: the chosen folder, or
// nothing when cancelled.
std::optional<std::string> AskFolderName(HWND owner, const wchar_t* title) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    std::optional<std::string> name;
    if (PIDLIST_ABSOLUTE chosen_folder = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen_folder, path)) {
            char bytes[MAX_PATH * 2] = {};
            WideCharToMultiByte(CP_ACP, 0, path, -1, bytes, sizeof bytes, nullptr, nullptr);
            name = bytes;
        }
        CoTaskMemFree(chosen_folder);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return name;
}

}  // namespace

ExportWindow::ExportWindow(HWND owner, const ExportKind& kind, Desktop& desktop)
    : kind_(kind), desktop_(desktop), logic_(kind, *this, desktop) {
    Create(IDD_EXPORT, owner);
}

ExportWindow::~ExportWindow() {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(bold_), static_cast<HGDIOBJ>(white_)})
        if (object) DeleteObject(object);
    if (browse_icon_) DestroyIcon(browse_icon_);
}

void ExportWindow::Initialize() {
    handle_ = window_;
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    setKindTexts();
    bold_ = BoldFontOf(control(IDC_EXPORT_SOURCE_LABEL));
    for (int id : {IDC_EXPORT_CHOICE_LABEL, IDC_EXPORT_TARGET_LABEL})
        SendMessageA(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    LayOut(window_, kExportWindow, kExportWindowIds);
    bold_ = FitLabelFont(window_, bold_);
    fitChoiceList();
    createButtons();
    HIMAGELIST pictures = LoadImageStrip(IDB_IMAGE_LIST);
    browse_icon_ = ImageList_GetIcon(pictures, kBrowsePicture, ILD_NORMAL);
    ImageList_Destroy(pictures);
    for (int id : {IDC_BROWSE_EXPORT_SOURCE, IDC_BROWSE_EXPORT_TARGET})
        SendMessageA(control(id), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(browse_icon_));
    HICON icon = LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_QUARVO));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ShowRunning(false);
}

void ExportWindow::setKindTexts() {
    SetWindowTextBytes(window_, kind_.caption);
    SetWindowTextBytes(control(IDC_EXPORT_SOURCE_LABEL), kind_.source_label);
    SetWindowTextBytes(control(IDC_EXPORT_TARGET_LABEL), kind_.target_label);
    HWND choices = control(IDC_EXPORT_CHOICE);
    for (const ExportChoice& choice : kind_.choices)
        SendMessageW(choices, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf16(choice.label).c_str()));
    SendMessageA(choices, CB_SETCURSEL, 0, 0);
    const int boxes[] = {IDC_EXPORT_OPTION1, IDC_EXPORT_OPTION2};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        HWND box = control(boxes[i]);
        ShowWindow(box, i < kind_.options.size() ? SW_SHOW : SW_HIDE);
        if (i >= kind_.options.size()) continue;
        SetWindowTextW(box, Utf16(kind_.options[i].label).c_str());
        SendMessageA(box, BM_SETCHECK, kind_.options[i].ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void ExportWindow::fitChoiceList() {
    // A drop-down list's window is its closed field, as high as its font
    // makes it; the height it is given is the open list's, here room for
    // every choice.
    HWND choices = control(IDC_EXPORT_CHOICE);
    RECT box;
    GetWindowRect(choices, &box);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
    const int list = static_cast<int>(SendMessageA(choices, CB_GETITEMHEIGHT, 0, 0)) *
                     static_cast<int>(kind_.choices.size() + 1);
    MoveWindow(choices, box.left, box.top, box.right - box.left, (box.bottom - box.top) + list,
               FALSE);
}

void ExportWindow::createButtons() {
    HIMAGELIST glyphs = LoadImageStrip(IDB_TOOLBAR);
    HIMAGELIST disabled = LoadImageStrip(IDB_TOOLBAR_DISABLED);
    start_button_.Attach(control(IDC_START_EXPORT), glyphs, disabled, kStartGlyph);
    cancel_button_.Attach(control(IDC_CANCEL_EXPORT), glyphs, disabled, kExitGlyph);
    close_button_.Attach(control(IDC_CLOSE_EXPORT), glyphs, disabled, kExitGlyph);
    ImageList_Destroy(glyphs);
    ImageList_Destroy(disabled);
}

void ExportWindow::Shown() {
    RunReporting(desktop_, [this] { logic_.Shown(); });
    SetFocus(control(IDC_EXPORT_SOURCE));
}

INT_PTR ExportWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(w), HIWORD(w));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            for (GlyphButton* button : {&start_button_, &cancel_button_, &close_button_})
                if (button->Draw(window_, header)) return TRUE;
            return FALSE;
        }
        case WM_SYSCOMMAND:
            // The title bar's close button and Alt+F4 ask, as Close does.
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

void ExportWindow::Command(int id, int code) {
    const auto run = [this](auto action) { RunReporting(desktop_, action); };
    switch (id) {
        case IDC_START_EXPORT:
            run([this] { logic_.Start(); });
            return;
        case IDC_CANCEL_EXPORT:
            logic_.Cancel();
            return;
        case IDC_CLOSE_EXPORT:
        case IDCANCEL:
            RequestClose();
            return;
        case IDC_EXPORT_CHOICE:
            if (code == CBN_SELCHANGE) run([this] { logic_.ChoiceChanged(); });
            return;
        case IDC_BROWSE_EXPORT_SOURCE:
            run([this] { BrowseSource(); });
            return;
        case IDC_BROWSE_EXPORT_TARGET:
            run([this] { BrowseTarget(); });
            return;
        default:
            return;
    }
}

void ExportWindow::RequestClose() {
    if (logic_.CloseRequested()) Close();
}

const ExportChoice& ExportWindow::chosen() const {
    return kind_.choices[Choice()];
}

void ExportWindow::BrowseSource() {
    if (kind_.source_folder) {
        if (const auto folder = AskFolderName(window_, L"The Opera folder to export"))
            SetSourceName(*folder);
        return;
    }
    std::string name = SourceName();
    if (AskFileName(window_, name, kind_.source_filter, false)) SetSourceName(name);
}

void ExportWindow::BrowseTarget() {
    const ExportChoice& choice = chosen();
    if (!choice.folder) {
        std::string name = TargetName();
        const std::string filter = std::string(choice.filter) + "|All files (*.*)|*.*";
        if (AskFileName(window_, name, filter, true)) SetTargetName(name);
        return;
    }
    // A folder output is a folder chosen, or made, in the folder dialog.
    if (const auto folder = AskFolderName(
            window_, L"The folder to write the export into (made if it is not there)"))
        SetTargetName(*folder);
}

std::string ExportWindow::SourceName() const {
    return FileNameFromFieldText(WindowText(control(IDC_EXPORT_SOURCE)));
}

void ExportWindow::SetSourceName(const std::string& name) {
    SetWindowTextBytes(control(IDC_EXPORT_SOURCE), FieldTextForFileName(name));
}

std::string ExportWindow::TargetName() const {
    return FileNameFromFieldText(WindowText(control(IDC_EXPORT_TARGET)));
}

void ExportWindow::SetTargetName(const std::string& name) {
    SetWindowTextBytes(control(IDC_EXPORT_TARGET), FieldTextForFileName(name));
}

std::size_t ExportWindow::Choice() const {
    const LRESULT chosen = SendMessageA(control(IDC_EXPORT_CHOICE), CB_GETCURSEL, 0, 0);
    return chosen == CB_ERR ? 0 : static_cast<std::size_t>(chosen);
}

bool ExportWindow::OptionTicked(std::size_t option) const {
    const int id = option == 0 ? IDC_EXPORT_OPTION1 : IDC_EXPORT_OPTION2;
    return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ExportWindow::ShowRunning(bool running) {
    for (int id : kEditable) EnableWindow(control(id), !running);
    EnableWindow(control(IDC_CANCEL_EXPORT), running);
    if (running) SetFocus(control(IDC_CANCEL_EXPORT));
}

void ExportWindow::ShowProgress(std::int64_t done, std::int64_t total) {
    // The bar counts in ints: a larger count is shown in parts of a thousand.
    const auto part = [total](std::int64_t value) {
        return static_cast<int>(total <= INT32_MAX ? value : value * 1000 / total);
    };
    HWND bar = control(IDC_EXPORT_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE32, 0, part(total));
    SendMessageA(bar, PBM_SETPOS, part(std::min(done, total)), 0);
}

void ExportWindow::ShowStatus(const std::string& text) {
    SetWindowTextBytes(control(IDC_EXPORT_STATUS), text);
}

void ExportWindow::WakeWindowThread() {
    PostMessageA(handle_, kWake, 0, 0);
}

void ExportWindow::CloseWindow() {
    Close();
}

}  // namespace quarvo::win32
