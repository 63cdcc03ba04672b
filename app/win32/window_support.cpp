// SPDX-License-Identifier: MIT
#include "window_support.h"

#include <algorithm>

#include "program_texts.h"

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

HFONT font_of(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

// The size of `control`'s text drawn in `font`.
SIZE text_size(HWND control, HFONT font) {
    const std::string text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    RECT box{0, 0, 0, 0};
    // A label's ampersand marks an access key unless the label says not.
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_SINGLELINE | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

SIZE text_size(HWND control) {
    return text_size(control, font_of(control));
}

// Faces that stand in for MS Sans Serif, narrowest match first: Windows'
// TrueType twin of its widths, the face Wine gives dialogs, and Arial and
// the faces drawn to Arial's widths that Linux systems carry.
constexpr const char* kStandInFaces[] = {"Microsoft Sans Serif", "Tahoma", "Arial",
                                         "Liberation Sans", "Nimbus Sans"};

// The labels of `window` whose font is `font`; pictures are no labels.
std::vector<HWND> labels_in(HWND window, HFONT font) {
    std::vector<HWND> labels;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char class_name[16] = {};
        GetClassNameA(child, class_name, sizeof class_name);
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
        if (lstrcmpiA(class_name, "Static") == 0 && (style & SS_TYPEMASK) != SS_BITMAP &&
            font_of(child) == font)
            labels.push_back(child);
    }
    return labels;
}

// How far the farthest of `labels` runs past `window`'s right edge in
// `font`; 0 when they all fit.
int overrun(HWND window, const std::vector<HWND>& labels, HFONT font) {
    RECT client;
    GetClientRect(window, &client);
    int most = 0;
    for (HWND label : labels) {
        RECT box;
        GetWindowRect(label, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        most =
            std::max(most, static_cast<int>(box.left + text_size(label, font).cx - client.right));
    }
    return most;
}

// Whether the font mapper gave `font` the face asked for, rather than
// whatever it found nearest.
bool has_face(HFONT font, const char* face) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char given[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, given);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return lstrcmpiA(given, face) == 0;
}

constexpr int kBevelLine = 2;

// The toolbar draws its buttons along the top of its client area, which
// begins under its divider line, if any. A strip of frame added above the
// client area brings them down to where the window has them.
struct ToolbarStrip {
    int from;  // where the strip begins, below the divider
    int height;
};

LRESULT CALLBACK strip_above_buttons(HWND bar, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                     DWORD_PTR data) {
    const auto strip = static_cast<ToolbarStrip>(ToolbarStrip{LOWORD(data), HIWORD(data)});
    switch (message) {
        case WM_NCCALCSIZE: {
            const LRESULT result = DefSubclassProc(bar, message, w, l);
            // Either form of the message begins with the client area's box.
            reinterpret_cast<RECT*>(l)->top += strip.height;
            return result;
        }
        case WM_NCPAINT: {
            DefSubclassProc(bar, message, w, l);
            RECT box;
            GetWindowRect(bar, &box);
            RECT area{0, strip.from, box.right - box.left, strip.from + strip.height};
            HDC dc = GetWindowDC(bar);
            // The parent's own background, as behind the toolbar's buttons.
            auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(bar), WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(bar)));
            FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
            ReleaseDC(bar, dc);
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(bar, strip_above_buttons, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(bar, message, w, l);
}

// Where the toolbar's client area begins, from the top of its window.
int client_top(HWND window) {
    RECT box;
    GetWindowRect(window, &box);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin.y - box.top;
}

void LowerToolButtons(HWND toolbar, int top) {
    const int from = client_top(toolbar);
    if (top <= from) return;
    SetWindowSubclass(toolbar, strip_above_buttons, 0, MAKELONG(from, top - from));
    SetWindowPos(toolbar, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

const layouts::Control* FindControl(const layouts::Window& layout, std::string_view name) {
    for (const layouts::Control& control : layout.controls)
        if (control.name == name) return &control;
    return nullptr;
}

RECT PlaceOf(HWND control, const layouts::Control& layout) {
    const layouts::Place& p = layout.place;
    RECT box{p.left, p.top, p.left + p.width, p.top + p.height};
    if (layout.kind == layouts::Label && (p.width == 0 || p.height == 0)) {
        // Measured in the font the control has, in its own pixels.
        HWND window = GetParent(control);
        const SIZE text = text_size(control);
        const int left = Scaled(window, p.left);
        const int top = Scaled(window, p.top);
        return RECT{left, top, left + text.cx, top + text.cy};
    }
    if (layout.kind == layouts::Bevel) box.top = box.bottom - kBevelLine;
    HWND window = GetParent(control);
    return RECT{Scaled(window, box.left), Scaled(window, box.top), Scaled(window, box.right),
                Scaled(window, box.bottom)};
}

void LayOut(HWND window, const layouts::Window& layout, std::span<const ControlId> ids) {
    for (const ControlId& id : ids) {
        HWND control = GetDlgItem(window, id.id);
        const layouts::Control* place = FindControl(layout, id.name);
        if (!control || !place) continue;
        RECT box = PlaceOf(control, *place);
        if (id.browse) {
            // The browse button is square, as high as the field.
            const int side = box.bottom - box.top;
            MoveWindow(GetDlgItem(window, id.browse), box.right - side, box.top, side, side, FALSE);
            box.right -= side;
        }
        MoveWindow(control, box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE);
    }
    SetClientSize(window, layout.client_width, layout.client_height);
}

void AddToolButtons(HWND toolbar, const layouts::Window& layout,
                    std::span<const ToolCommand> commands) {
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    std::vector<TBBUTTON> buttons;
    int width = 0;
    int height = 0;
    int top = 0;
    for (const layouts::Control& control : layout.controls) {
        if (control.parent != "ToolBar1") continue;
        TBBUTTON button{};
        if (control.kind == layouts::Separator) {
            button.iBitmap = Scaled(toolbar, control.place.width);
            button.fsStyle = BTNS_SEP;
        } else {
            for (const ToolCommand& command : commands) {
                if (command.name != control.name) continue;
                button.iBitmap = command.picture;
                button.idCommand = command.command;
            }
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
            button.iString = -1;
            width = control.place.width;
            height = control.place.height;
            top = control.place.top;
        }
        buttons.push_back(button);
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(Scaled(toolbar, width), Scaled(toolbar, height)));
    LowerToolButtons(toolbar, Scaled(toolbar, top));
}

const char* ToolHint(const layouts::Window& layout, std::span<const ToolCommand> commands,
                     UINT_PTR command) {
    for (const ToolCommand& c : commands) {
        if (static_cast<UINT_PTR>(c.command) != command) continue;
        // The tables' texts are literals, ended by a zero byte.
        if (const layouts::Control* control = FindControl(layout, c.name))
            return control->hint.data();
    }
    return nullptr;
}

void MakeBalloons(HWND toolbar, HICON icon) {
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    if (!tips) return;
    SetWindowLongPtrA(tips, GWL_STYLE,
                      GetWindowLongPtrA(tips, GWL_STYLE) | TTS_BALLOON | TTS_CLOSE);
    SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, Scaled(toolbar, 400));
    SendMessageA(tips, TTM_SETTITLEA,
                 reinterpret_cast<WPARAM>(icon ? icon : reinterpret_cast<HICON>(TTI_INFO)),
                 reinterpret_cast<LPARAM>(kBalloonHeader));
}

void SetClientSize(HWND window, int width, int height) {
    RECT box{0, 0, Scaled(window, width), Scaled(window, height)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&box, style, GetMenu(window) != nullptr, ex_style);
    SetWindowPos(window, nullptr, 0, 0, box.right - box.left, box.bottom - box.top,
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
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    font.lfWeight = FW_BOLD;
    if (pixel_height) {
        font.lfHeight = -Scaled(control, pixel_height);
        font.lfWidth = 0;
    }
    HFONT bold = CreateFontIndirectA(&font);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    return bold;
}

HFONT FitLabelFont(HWND window, HFONT font) {
    const std::vector<HWND> labels = labels_in(window, font);
    int best_overrun = overrun(window, labels, font);
    if (best_overrun <= 0) return font;
    LOGFONTA wanted{};
    GetObjectA(font, sizeof wanted, &wanted);
    HFONT best = font;
    for (const char* face : kStandInFaces) {
        LOGFONTA stand_in = wanted;
        lstrcpynA(stand_in.lfFaceName, face, LF_FACESIZE);
        HFONT candidate = CreateFontIndirectA(&stand_in);
        const int over =
            has_face(candidate, face) ? overrun(window, labels, candidate) : best_overrun;
        if (over < best_overrun) {
            if (best != font) DeleteObject(best);
            best = candidate;
            best_overrun = over;
        } else {
            DeleteObject(candidate);
        }
        if (best_overrun <= 0) break;
    }
    if (best == font) return font;
    for (HWND label : labels) {
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(best), FALSE);
        const SIZE text = text_size(label);
        SetWindowPos(label, nullptr, 0, 0, text.cx, text.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DeleteObject(font);
    return best;
}

void FitStatusPanels(HWND bar, std::span<const int> widths) {
    HFONT font = font_of(bar);
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // The bar's borders: at its sides, at its top and bottom, and the gap
    // between two parts.
    int borders[3] = {};
    SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    // A part draws its text inside a one-pixel edge, three pixels in; as
    // much again at the right keeps it off the next part's edge.
    const int margin = borders[2] + 2 * (1 + 3);
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<int> edges;
    int right = 0;
    for (std::size_t part = 0; part < widths.size(); ++part) {
        const auto length =
            static_cast<std::size_t>(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0)));
        std::string text(length + 1, '\0');
        SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(length), &size);
        right += std::max(Scaled(bar, widths[part]), static_cast<int>(size.cx) + margin);
        edges.push_back(part + 1 == widths.size() ? -1 : right);
    }
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    SendMessageA(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
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
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

void SetWindowTextBytes(HWND window, std::string_view text) {
    SetWindowTextA(window, std::string(text).c_str());
}

namespace {

// `picture` drawn at `width` by `height` into a new bitmap, which replaces
// it; halftone blends the pixels of a photograph, while a picture with a
// transparent colour keeps its pixels whole so that the colour stays pure.
HBITMAP Stretched(HBITMAP picture, int width, int height, bool blend) {
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    if (info.bmWidth == width && info.bmHeight == height) return picture;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP stretched = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old_from = SelectObject(from, picture);
    HGDIOBJ old_to = SelectObject(to, stretched);
    SetStretchBltMode(to, blend ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, old_from);
    SelectObject(to, old_to);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    return stretched;
}

}  // namespace

HBITMAP LoadPicture(int id) {
    auto* picture = static_cast<HBITMAP>(LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(id),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!picture) return nullptr;
    // The pictures are drawn for 96 dots per inch, as the layouts are.
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    return Stretched(picture, Scaled(nullptr, info.bmWidth), Scaled(nullptr, info.bmHeight), true);
}

HIMAGELIST LoadImageStrip(int id) {
    auto* strip = static_cast<HBITMAP>(
        LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    if (!strip) return nullptr;
    BITMAP info{};
    GetObjectA(strip, sizeof info, &info);
    constexpr int kDrawnSize = 16;
    const int count = info.bmWidth / kDrawnSize;
    const int size = Scaled(nullptr, kDrawnSize);
    strip = Stretched(strip, count * size, size, false);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    ImageList_AddMasked(list, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return list;
}

int PictureSize(HIMAGELIST list) {
    int width = 16, height = 16;
    if (list) ImageList_GetIconSize(list, &width, &height);
    return width;
}

}  // namespace quarvo::win32
