// SPDX-License-Identifier: MIT
// What every Win32 window of the program needs: controls placed in pixels
// as the windows were drawn, fonts, pictures from the resources, and the
// texts of controls as the bytes of the system's code page.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <span>
#include <string>
#include <string_view>

namespace quarvo::win32 {

// A control's place in its window's client area, in pixels at 96 dots per
// inch. A width or height of 0 makes a label as wide or as high as its text.
struct Place {
    int id;
    int left;
    int top;
    int width;
    int height;
};

// `pixels` at 96 dots per inch on the window's screen.
[[nodiscard]] int Scaled(HWND window, int pixels);

void PlaceControls(HWND window, std::span<const Place> places);

// Sizes the window so that its client area, below its menu, is this big.
void SetClientSize(HWND window, int width, int height);
void SetOuterSize(HWND window, int width, int height);

// Centres `window` over `owner`, or on the screen's work area without one.
void CentreOver(HWND window, HWND owner);

// Gives `control` its font in bold and, unless 0, `pixel_height` high; the
// window deletes the font returned with DeleteObject when it is done.
[[nodiscard]] HFONT BoldFontOf(HWND control, int pixel_height = 0);

[[nodiscard]] std::string WindowText(HWND window);

// UTF-8 and UTF-16, both ways.
[[nodiscard]] std::wstring Utf16(std::string_view utf8);
[[nodiscard]] std::string Utf8(std::wstring_view utf16);
void SetWindowTextBytes(HWND window, std::string_view text);

// A bitmap of the program's resources, as a device-independent bitmap.
[[nodiscard]] HBITMAP LoadPicture(int id);

// The 16 by 16 pictures of a bitmap strip of the resources, left to right;
// magenta is the transparent colour.
[[nodiscard]] HIMAGELIST LoadImageStrip(int id);

[[nodiscard]] HINSTANCE ProgramInstance();

}  // namespace quarvo::win32
