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
#include <vector>

#include "window_ids.h"
#include "window_layouts.h"

namespace quarvo::win32 {

// `pixels` at 96 dots per inch on the window's screen.
[[nodiscard]] int Scaled(HWND window, int pixels);

// The control of `layout` called `name`; nullptr when it has none.
[[nodiscard]] const layouts::Control* FindControl(const layouts::Window& layout,
                                                  std::string_view name);

// Where a control of `layout` goes in its window, in pixels at 96 dots per
// inch: a label of width 0 as wide as its text needs, a bevel as its line
// along the bottom of its box, a file-name edit less its browse button.
[[nodiscard]] RECT PlaceOf(HWND control, const layouts::Control& layout);

// Places `window`'s controls as `layout` has them and sizes the window so
// that its client area, below its menu, is the layout's.
void LayOut(HWND window, const layouts::Window& layout, std::span<const ControlId> ids);

// Adds the toolbar buttons of `layout` (the controls whose parent is the
// toolbar), in their order, with their widths, commands and pictures.
void AddToolButtons(HWND toolbar, const layouts::Window& layout,
                    std::span<const ToolCommand> commands);

// The hint of the toolbar button that runs `command`, or nullptr.
[[nodiscard]] const char* ToolHint(const layouts::Window& layout,
                                   std::span<const ToolCommand> commands, UINT_PTR command);

// The toolbar's own hints become balloons with the program's header and
// `icon`, and break their lines where the hint does.
void MakeBalloons(HWND toolbar, HICON icon);

// Sizes the window so that its client area, below its menu, is this big.
void SetClientSize(HWND window, int width, int height);

// Centres `window` over `owner`, or on the screen's work area without one.
void CentreOver(HWND window, HWND owner);

// Gives `control` its font in bold and, unless 0, `pixel_height` high; the
// window deletes the font returned with DeleteObject when it is done.
[[nodiscard]] HFONT BoldFontOf(HWND control, int pixel_height = 0);

// The labels of `window` drawn in `font`, each sized to its text, must
// show it whole inside the window. Where one runs past the right edge, as
// with a stand-in face wider than the one the window was drawn in, they all
// take the first face drawn to MS Sans Serif's widths or near them that the
// system has and that fits, or else the narrowest; `font` is deleted then
// and the font they took returned, for the window to delete when it is done.
[[nodiscard]] HFONT FitLabelFont(HWND window, HFONT font);

// Gives the status bar's panels the widths of `widths` (pixels at 96 dots
// per inch), each widened to show its text whole; the last takes what is
// left of the bar. Set again whenever a panel's text changes.
void FitStatusPanels(HWND bar, std::span<const int> widths);

[[nodiscard]] std::string WindowText(HWND window);

// UTF-8 and UTF-16, both ways.
[[nodiscard]] std::wstring Utf16(std::string_view utf8);
[[nodiscard]] std::string Utf8(std::wstring_view utf16);
void SetWindowTextBytes(HWND window, std::string_view text);

// A bitmap of the program's resources, scaled from 96 dots per inch to the
// screen's.
[[nodiscard]] HBITMAP LoadPicture(int id);

// The 16 by 16 pictures of a bitmap strip of the resources, left to right,
// scaled to the screen's dots per inch; magenta is the transparent colour.
[[nodiscard]] HIMAGELIST LoadImageStrip(int id);

// The width and height of `list`'s pictures.
[[nodiscard]] int PictureSize(HIMAGELIST list);

[[nodiscard]] HINSTANCE ProgramInstance();

}  // namespace quarvo::win32
