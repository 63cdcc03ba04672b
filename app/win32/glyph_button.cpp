// SPDX-License-Identifier: MIT
#include "glyph_button.h"

#include <string>

#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

COLORREF ColourOf(layouts::Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

}  // namespace

GlyphButton::~GlyphButton() {
    if (glyphs_) ImageList_Destroy(glyphs_);
    if (hot_font_) DeleteObject(hot_font_);
}

void GlyphButton::Attach(HWND button, HIMAGELIST normal, HIMAGELIST disabled, int index) {
    button_ = button;
    const int size = PictureSize(normal);
    glyphs_ = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0);
    for (HIMAGELIST strip : {normal, disabled}) {
        HICON picture = ImageList_GetIcon(strip, index, ILD_NORMAL);
        ImageList_ReplaceIcon(glyphs_, -1, picture);
        DestroyIcon(picture);
    }
    LOGFONTW font{};
    GetObjectW(FontOf(button), sizeof font, &font);
    font.lfUnderline = TRUE;
    hot_font_ = CreateFontIndirectW(&font);
}

bool GlyphButton::Draw(HWND dialog, const NMHDR* header) {
    if (header->hwndFrom != button_ || header->code != NM_CUSTOMDRAW) return false;
    const auto& draw = *reinterpret_cast<const NMCUSTOMDRAW*>(header);
    LONG_PTR answer = CDRF_DODEFAULT;
    if (draw.dwDrawStage == CDDS_PREPAINT) {
        Paint(draw);
        answer = CDRF_SKIPDEFAULT;
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    return true;
}

void GlyphButton::Paint(const NMCUSTOMDRAW& draw) {
    HDC dc = draw.hdc;
    RECT box = draw.rc;
    const bool disabled = !IsWindowEnabled(button_);
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool hot = !disabled && (draw.uItemState & CDIS_HOT) != 0;

    HBRUSH face = CreateSolidBrush(ColourOf(layouts::kButtonFace));
    FillRect(dc, &box, face);
    DeleteObject(face);
    DrawEdge(dc, &box, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring caption = Utf16(WindowText(button_));
    const auto ui_state = static_cast<DWORD>(SendMessageW(button_, WM_QUERYUISTATE, 0, 0));
    const UINT prefix = (ui_state & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
    HGDIOBJ old_font = SelectObject(dc, hot ? hot_font_ : FontOf(button_));
    RECT text{};
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT | prefix);
    // Glyph and caption side by side, centred together; pressed, both move
    // down and right by a pixel.
    const int gap = Scaled(button_, 4);
    const int shift = pressed ? 1 : 0;
    const int glyph = PictureSize(glyphs_);
    const int left = box.left + (box.right - box.left - (glyph + gap + text.right)) / 2 + shift;
    ImageList_Draw(glyphs_, disabled ? 1 : 0, dc, left,
                   box.top + (box.bottom - box.top - glyph) / 2 + shift, ILD_NORMAL);
    text = RECT{left + glyph + gap, box.top + shift, box.right, box.bottom + shift};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? ColourOf(layouts::kDisabledCaption)
                     : hot    ? ColourOf(layouts::kHotCaption)
                              : RGB(0, 0, 0));
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
    SelectObject(dc, old_font);

    if ((draw.uItemState & CDIS_FOCUS) && !(ui_state & UISF_HIDEFOCUS)) {
        RECT focus = box;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace quarvo::win32
