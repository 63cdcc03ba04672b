// SPDX-License-Identifier: MIT
// The fixed layouts of the five windows, apart from any toolkit: for each
// window its caption and client size, and for each control its name, kind,
// place, caption and hint. A front end builds its windows to match, and its
// tests check the windows it shows against these tables, so that every
// front end shows the same windows.
//
// Places are in pixels, measured from the top left corner of the control's
// parent: the named control, or else the window's client area (for the main
// window, the area below its menu). A label whose width and height are 0
// takes the size its text needs in the font the system has; only where it
// starts is fixed. Line breaks in a text are '\n'; texts are shown as they
// stand here (a front end whose labels read '&' as an access key marks
// doubles it).
#pragma once

#include <span>
#include <string_view>

namespace quarvo::layouts {

enum class ControlKind {
    ToolBar,
    Separator,    // between toolbar buttons
    SpeedButton,  // toolbar button with a glyph and a caption
    ToolButton,   // toolbar button with a picture of the image list
    GlyphButton,  // push button with a glyph, hot-tracked
    Label,
    HotTrackLabel,  // label that wraps its text and acts as a link
    Picture,
    FileNameEdit,  // one-line field with a browse button
    TextEditor,
    Memo,  // read-only text with a vertical scroll bar
    Bevel,
    ProgressBar,
    StatusBar,
    ComboBox,  // a list to choose one line from, drop-down
    CheckBox,
};

struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Control {
    std::string_view name;
    ControlKind kind;
    Place place;
    // The caption; for a file-name edit, its text before the creation step
    // fills in the default names; empty for controls whose text is content.
    std::string_view text;
    std::string_view hint;
    std::string_view parent;  // empty: the window's client area
    // The order in which Tab reaches the control; -1: not a tab stop.
    int tab_order = -1;
};

struct Window {
    std::string_view name;  // the program-wide instance
    std::string_view caption;
    int client_width;
    int client_height;
    std::span<const Control> controls;
};

using enum ControlKind;

// Colours of the glyph and speed buttons, as red, green and blue.
struct Colour {
    unsigned char red, green, blue;
};
inline constexpr Colour kButtonFace{0, 255, 255};  // aqua
// The common grey for a disabled caption nearly vanishes on aqua (about
// 1.5:1). This one still reads as disabled beside the black of an enabled
// caption, and stands out from the face by about 4:1.
inline constexpr Colour kDisabledCaption{0x6e, 0x6e, 0x6e};
// A hot-track control's caption while the mouse is over it, underlined.
inline constexpr Colour kHotCaption{0, 0, 192};

inline constexpr std::string_view kNameHint = "Enter the complete  path and filename \n";
inline constexpr std::string_view kAboutLine1 =
    "Convert your Opera Contacts to Windows Adressbook compatible CSV files ";
inline constexpr std::string_view kAboutLine2 =
    "and Opera Bookmarks to Internet Explorer  compatible HTML files.";

// One control a row, as a table reads best.
// clang-format off
inline constexpr Control kMainWindowControls[] = {
    {"ToolBar1", ToolBar, {0, 0, 586, 34}, "", "", ""},
    {"jsbShowHelp", SpeedButton, {0, 4, 25, 25}, "Help", "Show the help-file", "ToolBar1"},
    {"ToolButton1", Separator, {25, 6, 21, 21}, "", "", "ToolBar1"},
    {"jsbShowContacts", SpeedButton, {46, 4, 25, 25}, "Show contacts",
     "Show / edit the  opera contacts-files", "ToolBar1"},
    {"jsbShowBookmarks", SpeedButton, {71, 4, 25, 25}, "Show Bookmarks",
     "Show / edit the opera bookmarks file", "ToolBar1"},
    {"ToolButton2", Separator, {96, 6, 21, 21}, "", "", "ToolBar1"},
    {"jsbStartConversion", SpeedButton, {117, 4, 25, 25}, "", "Start conversion", "ToolBar1"},
    {"ToolButton3", Separator, {142, 6, 21, 21}, "", "", "ToolBar1"},
    {"jsbShowAbout", SpeedButton, {163, 4, 25, 25}, "About", "About Quarvo", "ToolBar1"},
    {"ToolButton4", Separator, {188, 6, 21, 21}, "", "", "ToolBar1"},
    {"jsbExit", SpeedButton, {209, 4, 25, 25}, "Exit", "Exit Quarvo", "ToolBar1"},
    {"lblOpercaContactsFile", Label, {24, 56, 0, 0}, "Opera Contacts-File", "", ""},
    {"jfeOperaContactsFile", FileNameEdit, {16, 72, 553, 21}, "",
     "Enter the complete  path and filename \nto your Opera-generated contacts file", "", 0},
    {"Label2", Label, {24, 104, 0, 0}, "Opera Bookmarks-File", "", ""},
    {"jfeOperaBookmarksFile", FileNameEdit, {16, 120, 553, 21}, "",
     "Enter the complete  path and filename \nto your Opera-generated bookmarks file", "", 1},
    {"Label3", Label, {24, 184, 0, 0}, "Contacts-Output-File", "", ""},
    {"jfeContactsOutputFile", FileNameEdit, {16, 200, 553, 21},
     "C:\\WindowsAddressbookContactsImport.csv",
     "Enter the complete  path and filename \nwhere you want to store your \n"
     "Outlook-Express compatible CSV \ncontacts file.",
     "", 2},
    {"Label4", Label, {24, 240, 0, 0}, "Bookmark-Output-File", "", ""},
    {"jfeBookmarksOutputFile", FileNameEdit, {16, 256, 553, 21},
     "C:\\InternetExplorerBookmarksImport.htm",
     "Enter the complete  path and filename \nwhere you want to store your \n"
     "Internet-Explorer compatible HTML \nbookmarks file.",
     "", 4},
    {"Image1", Picture, {8, 296, 105, 89}, "", "", ""},
    {"Label1", Label, {128, 296, 0, 0}, "Quarvo", "", ""},
    {"Label5", Label, {171, 320, 0, 0}, "Version: 1.0", "", ""},
    {"Label6", Label, {128, 352, 0, 0}, kAboutLine1, "", ""},
    {"Label7", Label, {179, 368, 0, 0}, kAboutLine2, "", ""},
    {"jhbStartConversion", GlyphButton, {376, 304, 193, 25}, "Start conversion", "", "", 6},
    {"ProgressBar", ProgressBar, {0, 384, 586, 17}, "", "", ""},
    {"StatusBar1", StatusBar, {0, 401, 586, 25}, "", "", ""},
};

// The main window's status bar, left to right, as the window is made.
struct StatusPanel {
    int width;
    std::string_view text;
};
inline constexpr StatusPanel kMainStatusPanels[] = {
    {125, "(C) The Quarvo makers"},
    {120, "# Bookmarks:"},
    {120, "# Contacts:"},
    {160, "Status: Choose Opera Filnames"},
    {50, ""},
};

inline constexpr Control kHelpWindowControls[] = {
    {"Image1", Picture, {8, 6, 105, 89}, "", "", ""},
    {"Label1", Label, {120, 2, 0, 0}, "Quarvo", "", ""},
    {"Label5", Label, {163, 26, 0, 0}, "Version: 1.0", "", ""},
    {"Label6", Label, {118, 58, 0, 0}, kAboutLine1, "", ""},
    {"Label7", Label, {170, 74, 0, 0}, kAboutLine2, "", ""},
    {"Bevel1", Bevel, {8, 96, 569, 10}, "", "", ""},
    {"Memo1", Memo, {8, 120, 569, 289}, "", "", "", 0},
    {"jhbStartConversion", GlyphButton, {8, 414, 569, 25}, "Close", "", "", 1},
};

inline constexpr Control kFileViewerControls[] = {
    {"ToolBar1", ToolBar, {0, 0, 582, 29}, "", "", ""},
    {"tbReload", ToolButton, {0, 2, 23, 22}, "", "Reload file, discard all changes (F5)", "ToolBar1"},
    {"tbSaveAs", ToolButton, {23, 2, 23, 22}, "", "Save as ... (Ctrl+Shift+S)", "ToolBar1"},
    {"tbSaveFile", ToolButton, {46, 2, 23, 22}, "",
     "Save changes (Ctrl+S)\n\nBe careful when you edited your original opera-file \n"
     "if you did something wrong your original bookmarks/contacts \nwill be overwritten !!!",
     "ToolBar1"},
    {"tbSearch", ToolButton, {69, 2, 23, 22}, "", "Search within this file", "ToolBar1"},
    {"ToolButton1", Separator, {92, 2, 21, 22}, "", "", "ToolBar1"},
    {"tbClose", ToolButton, {113, 2, 23, 22}, "", "Close, go back to Main-Window (Esc)", "ToolBar1"},
    {"jmeFile", TextEditor, {0, 29, 582, 409}, "", "", "", 0},
};

inline constexpr Control kAboutWindowControls[] = {
    {"Image1", Picture, {0, 0, 305, 281}, "", "", ""},
    {"Label1", Label, {320, 8, 0, 0}, "Quarvo", "", ""},
    {"Label2", Label, {363, 32, 0, 0}, "Version: 1.0", "", ""},
    {"Label6", Label, {8, 288, 0, 0}, kAboutLine1, "", ""},
    {"Label7", Label, {50, 304, 0, 0}, kAboutLine2, "", ""},
    {"Label3", Label, {320, 96, 0, 0}, "Author & Contact:", "", ""},
    {"lblEmail", Label, {320, 112, 0, 0}, "quarvo@example.org", "", ""},
    {"JvLabel1", HotTrackLabel, {329, 136, 113, 52},
     "for comments and suggestions please drop me an eMail ", "", ""},
    {"Image2", Picture, {320, 184, 121, 97}, "", "", ""},
};

inline constexpr Control kUnderConstructionControls[] = {
    {"Image1", Picture, {0, 0, 300, 279}, "", "", ""},
};

// The export window, one for every kind of Opera data: a kind's texts
// (caption, the labels of the source and the target, the choices and the
// check boxes) come from its table (export_kind.h); the texts here that
// are empty are those.
inline constexpr Control kExportWindowControls[] = {
    {"lblSource", Label, {16, 12, 0, 0}, "", "", ""},
    {"jfeSource", FileNameEdit, {16, 28, 438, 21}, "",
     "Enter the complete  path and filename \nof the Opera file or folder to export", "", 0},
    {"lblChoice", Label, {16, 60, 0, 0}, "Export as", "", ""},
    {"cbChoice", ComboBox, {16, 76, 438, 21}, "", "", "", 1},
    {"lblTarget", Label, {16, 108, 0, 0}, "", "", ""},
    {"jfeTarget", FileNameEdit, {16, 124, 438, 21}, "",
     "Enter the complete  path and filename \nof the file or folder to write", "", 2},
    {"chkOption1", CheckBox, {16, 156, 438, 17}, "", "", "", 3},
    {"chkOption2", CheckBox, {16, 176, 438, 17}, "", "", "", 4},
    {"ProgressBar", ProgressBar, {16, 204, 438, 17}, "", "", ""},
    {"lblStatus", Label, {16, 228, 438, 16}, "", "", ""},
    {"jhbStartExport", GlyphButton, {16, 252, 140, 25}, "Start export", "", "", 5},
    {"jhbCancelExport", GlyphButton, {165, 252, 140, 25}, "Cancel", "", "", 6},
    {"jhbClose", GlyphButton, {314, 252, 140, 25}, "Close", "", "", 7},
};

// The whole-profile export window: the kinds' check boxes in the order of
// their table (quarvo/conversions/profile_kinds.h).
inline constexpr Control kProfileExportWindowControls[] = {
    {"lblProfile", Label, {16, 12, 0, 0}, "Opera profile", "", ""},
    {"cbProfile", ComboBox, {16, 28, 438, 21}, "", "", "", 0},
    {"lblProfileFolder", Label, {16, 60, 0, 0}, "Profile folder", "", ""},
    {"jfeProfile", FileNameEdit, {16, 76, 438, 21}, "", "Enter the complete  path \nof an Opera profile folder", "", 1},
    {"lblKinds", Label, {16, 108, 0, 0}, "What it holds", "", ""},
    {"chkKind1", CheckBox, {16, 124, 438, 17}, "", "", "", 2},
    {"chkKind2", CheckBox, {16, 144, 438, 17}, "", "", "", 3},
    {"chkKind3", CheckBox, {16, 164, 438, 17}, "", "", "", 4},
    {"chkKind4", CheckBox, {16, 184, 438, 17}, "", "", "", 5},
    {"chkKind5", CheckBox, {16, 204, 438, 17}, "", "", "", 6},
    {"chkKind6", CheckBox, {16, 224, 438, 17}, "", "", "", 7},
    {"chkKind7", CheckBox, {16, 244, 438, 17}, "", "", "", 8},
    {"lblUntouched", Label, {16, 266, 438, 48}, "", "", ""},
    {"lblTarget", Label, {16, 318, 0, 0}, "Export into the new folder", "", ""},
    {"jfeTarget", FileNameEdit, {16, 334, 438, 21}, "", "Enter the complete  path \nof the new folder to write", "", 9},
    {"ProgressBar", ProgressBar, {16, 364, 438, 17}, "", "", ""},
    {"lblStatus", Label, {16, 386, 438, 16}, "", "", ""},
    {"memReport", Memo, {16, 406, 438, 80}, "", "", "", 10},
    {"jhbStartExport", GlyphButton, {16, 492, 108, 25}, "Start export", "", "", 11},
    {"jhbCancelExport", GlyphButton, {126, 492, 108, 25}, "Cancel", "", "", 12},
    {"jhbOpenFolder", GlyphButton, {236, 492, 108, 25}, "Open folder", "", "", 13},
    {"jhbClose", GlyphButton, {346, 492, 108, 25}, "Close", "", "", 14},
};

// clang-format on

// Client sizes: the outer sizes less the frame, the title bar and the
// main window's menu, as the system the layouts were drawn on has them.
inline constexpr Window kMainWindow{"fZorezOrudaz_Main", "Quarvo", 586, 426, kMainWindowControls};
inline constexpr Window kHelpWindow{"fSettings", "Quarvo - [Help]", 586, 451, kHelpWindowControls};
inline constexpr Window kFileViewer{"fFileViewer", "Quarvo - [Fileviewer]", 582, 438,
                                    kFileViewerControls};
inline constexpr Window kAboutWindow{"fAbout", "Quarvo - [About]", 458, 331, kAboutWindowControls};
inline constexpr Window kUnderConstruction{"fUnderConstruction", "Quarvo - [Under Construction]",
                                           300, 287, kUnderConstructionControls};

// Made when the File menu first asks for it; its caption is the kind's.
inline constexpr Window kExportWindow{"fExport", "", 470, 289, kExportWindowControls};
// Made when the File menu first asks for it.
inline constexpr Window kProfileExportWindow{"fProfileExport", "Quarvo - [Export whole profile]",
                                             470, 525, kProfileExportWindowControls};

// In the order start-up makes them.
inline constexpr Window kWindows[] = {kMainWindow, kHelpWindow, kFileViewer, kAboutWindow,
                                      kUnderConstruction};

}  // namespace quarvo::layouts
