// SPDX-License-Identifier: MIT
// The windows' glyph buttons on Win32: a push button that its window draws
// itself, since a themed push button takes no face colour. It has the aqua
// face, its glyph and caption centred side by side, a caption still
// readable when the button is disabled, and the hot-track look (the caption
// underlined, in the hot colour) while the mouse is over it.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

namespace quarvo::win32 {

class GlyphButton {
  public:
    GlyphButton() = default;
    ~GlyphButton();
    GlyphButton(const GlyphButton&) = delete;
    GlyphButton& operator=(const GlyphButton&) = delete;

    // `button` shows picture `index` of `normal` and, while disabled, of
    // `disabled` (two strips of 16-pixel pictures).
    void Attach(HWND button, HIMAGELIST normal, HIMAGELIST disabled, int index);

    // For the WM_NOTIFY of the button's dialog: draws the button when
    // `header` is its custom draw and gives the dialog its answer; true then.
    bool Draw(HWND dialog, const NMHDR* header);

  private:
    void Paint(const NMCUSTOMDRAW& draw);

    HWND button_ = nullptr;
    HIMAGELIST glyphs_ = nullptr;  // normal, then disabled
    HFONT hot_font_ = nullptr;
};

}  // namespace quarvo::win32
