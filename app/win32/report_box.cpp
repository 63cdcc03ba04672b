// SPDX-License-Identifier: MIT
#include "report_box.h"

#include <algorithm>
#include <string>

#include "resource_ids.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

std::wstring Decoded(std::string_view bytes, UINT code_page, DWORD flags) {
    if (bytes.empty()) return {};
    const int size = MultiByteToWideChar(code_page, flags, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(code_page, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

struct Report {
    std::wstring text;
    std::wstring lines;
    int line_count = 0;
};

// Lays the box out for its texts: as wide as a third of the work area or
// 480 pixels at 96 dots per inch, the list as tall as its lines up to half
// the work area, the whole centred over its owner and inside the work area.
void LayOutBox(HWND box, const Report& report) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int room_width = work.right - work.left;
    const int room_height = work.bottom - work.top;
    const int margin = Scaled(box, 8);
    const int width = std::min(std::max(Scaled(box, 480), room_width / 3), room_width * 9 / 10);
    const int inner = width - 2 * margin;

    HWND text = GetDlgItem(box, IDC_REPORT_TEXT);
    HWND list = GetDlgItem(box, IDC_REPORT_LIST);
    HWND ok = GetDlgItem(box, IDOK);
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    RECT measured{0, 0, inner, 0};
    DrawTextW(dc, report.text.c_str(), static_cast<int>(report.text.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    const int line = metrics.tmHeight + metrics.tmExternalLeading;
    const int text_height = measured.bottom;
    const int scroll_bar = GetSystemMetrics(SM_CYHSCROLL);
    const int list_height = std::clamp(
        std::max(report.line_count, 3) * line + scroll_bar + 2 * GetSystemMetrics(SM_CYEDGE) + 4,
        6 * line, room_height / 2);
    const int button_height = Scaled(box, 25);
    const int button_width = Scaled(box, 75);
    const int client_height =
        margin + text_height + margin + list_height + margin + button_height + margin;

    MoveWindow(text, margin, margin, inner, text_height, FALSE);
    const int list_top = margin + text_height + margin;
    MoveWindow(list, margin, list_top, inner, list_height, FALSE);
    MoveWindow(ok, width - margin - button_width, list_top + list_height + margin, button_width,
               button_height, FALSE);

    RECT frame{0, 0, width, client_height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)));
    const int frame_width = frame.right - frame.left;
    const int frame_height = std::min(static_cast<int>(frame.bottom - frame.top), room_height);
    RECT over = work;
    if (HWND owner = GetWindow(box, GW_OWNER); owner && IsWindowVisible(owner))
        GetWindowRect(owner, &over);
    const int left =
        std::clamp(static_cast<int>((over.left + over.right - frame_width) / 2),
                   static_cast<int>(work.left), static_cast<int>(work.right) - frame_width);
    const int top =
        std::clamp(static_cast<int>((over.top + over.bottom - frame_height) / 2),
                   static_cast<int>(work.top), static_cast<int>(work.bottom) - frame_height);
    SetWindowPos(box, nullptr, left, top, frame_width, frame_height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ReportProc(HWND box, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* report = reinterpret_cast<const Report*>(l);
            SetDlgItemTextW(box, IDC_REPORT_TEXT, report->text.c_str());
            SetDlgItemTextW(box, IDC_REPORT_LIST, report->lines.c_str());
            LayOutBox(box, *report);
            SetFocus(GetDlgItem(box, IDOK));
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) EndDialog(box, IDOK);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::wstring ReportLines(std::string_view details) {
    std::wstring lines;
    for (std::size_t start = 0; start < details.size();) {
        std::size_t end = details.find('\n', start);
        const std::string_view line =
            details.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? details.size() : end + 1;
        std::wstring decoded = Decoded(line, CP_UTF8, MB_ERR_INVALID_CHARS);
        if (decoded.empty() && !line.empty()) decoded = Decoded(line, CP_ACP, 0);
        lines += decoded;
        lines += L"\r\n";
    }
    return lines;
}

void ShowReportBox(HWND owner, std::string_view text, std::string_view details) {
    Report report;
    report.text = Decoded(text, CP_ACP, 0);
    report.lines = ReportLines(details);
    report.line_count =
        static_cast<int>(std::count(report.lines.begin(), report.lines.end(), L'\n'));
    DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_REPORT), owner, ReportProc,
                    reinterpret_cast<LPARAM>(&report));
}

}  // namespace quarvo::win32
