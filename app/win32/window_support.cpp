// SPDX-License-Identifier: MIT
#include "window_support.h"

namespace quarvo::win32 {

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

int Scaled(HWND window, int pixels) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    return MulDiv(pixels, dpi, 96);
}

namespace {

SIZE text_size(HWND control) {
    const std::string text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT box{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

}  // namespace

void PlaceControls(HWND window, std::span<const Place> places) {
    for (const Place& place : places) {
        HWND control = GetDlgItem(window, place.id);
        if (!control) continue;
        const SIZE text = (place.width == 0 || place.height == 0) ? text_size(control) : SIZE{};
        MoveWindow(control, Scaled(window, place.left), Scaled(window, place.top),
                   place.width ? Scaled(window, place.width) : text.cx,
                   place.height ? Scaled(window, place.height) : text.cy, FALSE);
    }
}

void SetClientSize(HWND window, int width, int height) {
    RECT box{0, 0, Scaled(window, width), Scaled(window, height)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&box, style, GetMenu(window) != nullptr, ex_style);
    SetWindowPos(window, nullptr, 0, 0, box.right - box.left, box.bottom - box.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetOuterSize(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, Scaled(window, width), Scaled(window, height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOver(HWND window, HWND owner) {
    RECT area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT box;
    GetWindowRect(window, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT BoldFontOf(HWND control, int pixel_height) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    if (pixel_height) {
        font.lfHeight = -Scaled(control, pixel_height);
        font.lfWidth = 0;
    }
    HFONT bold = CreateFontIndirectA(&font);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    return bold;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Utf16(std::string_view utf8) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::string Utf8(std::wstring_view utf16) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(),
                        size, nullptr, nullptr);
    return text;
}

void SetWindowTextBytes(HWND window, std::string_view text) {
    SetWindowTextA(window, std::string(text).c_str());
}

HBITMAP LoadPicture(int id) {
    return static_cast<HBITMAP>(
        LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HIMAGELIST LoadImageStrip(int id) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    if (!strip) return nullptr;
    BITMAP info{};
    GetObjectA(strip, sizeof info, &info);
    constexpr int kSize = 16;
    HIMAGELIST list = ImageList_Create(kSize, kSize, ILC_COLOR24 | ILC_MASK, info.bmWidth / kSize, 0);
    ImageList_AddMasked(list, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return list;
}

}  // namespace quarvo::win32
