// SPDX-License-Identifier: MIT
// Which control of quarvo.rc each control of the layout tables
// (window_layouts.h) is: the windows are placed from the tables through
// these lists, and the window test checks them against the tables.
#pragma once

#include <array>
#include <string_view>

#include "resource_ids.h"
#include "window_layouts.h"

namespace quarvo::win32 {

struct ControlId {
    std::string_view name;  // in the layout table
    int id;                 // in quarvo.rc
    // A file-name edit is an edit with its browse button at its right end.
    int browse = 0;
};

inline constexpr std::array kMainWindowIds{
    ControlId{"ToolBar1", IDC_TOOLBAR},
    ControlId{"lblOpercaContactsFile", IDC_CONTACTS_LABEL},
    ControlId{"jfeOperaContactsFile", IDC_OPERA_CONTACTS, IDC_BROWSE_OPERA_CONTACTS},
    ControlId{"Label2", IDC_BOOKMARKS_LABEL},
    ControlId{"jfeOperaBookmarksFile", IDC_OPERA_BOOKMARKS, IDC_BROWSE_OPERA_BOOKMARKS},
    ControlId{"Label3", IDC_CONTACTS_OUTPUT_LABEL},
    ControlId{"jfeContactsOutputFile", IDC_CONTACTS_OUTPUT, IDC_BROWSE_CONTACTS_OUTPUT},
    ControlId{"Label4", IDC_BOOKMARKS_OUTPUT_LABEL},
    ControlId{"jfeBookmarksOutputFile", IDC_BOOKMARKS_OUTPUT, IDC_BROWSE_BOOKMARKS_OUTPUT},
    ControlId{"Image1", IDC_LOGO},
    ControlId{"Label1", IDC_TITLE},
    ControlId{"Label5", IDC_VERSION},
    ControlId{"Label6", IDC_PURPOSE1},
    ControlId{"Label7", IDC_PURPOSE2},
    ControlId{"jhbStartConversion", IDC_START_CONVERSION},
    ControlId{"ProgressBar", IDC_PROGRESS},
    ControlId{"StatusBar1", IDC_STATUS},
};

inline constexpr std::array kHelpWindowIds{
    ControlId{"Image1", IDC_LOGO},     ControlId{"Label1", IDC_TITLE},
    ControlId{"Label5", IDC_VERSION},  ControlId{"Label6", IDC_PURPOSE1},
    ControlId{"Label7", IDC_PURPOSE2}, ControlId{"Bevel1", IDC_BEVEL},
    ControlId{"Memo1", IDC_HELP_TEXT}, ControlId{"jhbStartConversion", IDC_CLOSE},
};

inline constexpr std::array kFileViewerIds{
    ControlId{"ToolBar1", IDC_TOOLBAR},
    ControlId{"jmeFile", IDC_EDITOR},
};

inline constexpr std::array kAboutWindowIds{
    ControlId{"Image1", IDC_LOGO},         ControlId{"Label1", IDC_TITLE},
    ControlId{"Label2", IDC_VERSION},      ControlId{"Label6", IDC_PURPOSE1},
    ControlId{"Label7", IDC_PURPOSE2},     ControlId{"Label3", IDC_AUTHOR},
    ControlId{"lblEmail", IDC_EMAIL},      ControlId{"JvLabel1", IDC_DROP_ME},
    ControlId{"Image2", IDC_MAIL_PICTURE},
};

inline constexpr std::array kUnderConstructionIds{ControlId{"Image1", IDC_LOGO}};

inline constexpr std::array kExportWindowIds{
    ControlId{"lblSource", IDC_EXPORT_SOURCE_LABEL},
    ControlId{"jfeSource", IDC_EXPORT_SOURCE, IDC_BROWSE_EXPORT_SOURCE},
    ControlId{"lblChoice", IDC_EXPORT_CHOICE_LABEL},
    ControlId{"cbChoice", IDC_EXPORT_CHOICE},
    ControlId{"lblTarget", IDC_EXPORT_TARGET_LABEL},
    ControlId{"jfeTarget", IDC_EXPORT_TARGET, IDC_BROWSE_EXPORT_TARGET},
    ControlId{"chkOption1", IDC_EXPORT_OPTION1},
    ControlId{"chkOption2", IDC_EXPORT_OPTION2},
    ControlId{"ProgressBar", IDC_EXPORT_PROGRESS},
    ControlId{"lblStatus", IDC_EXPORT_STATUS},
    ControlId{"jhbStartExport", IDC_START_EXPORT},
    ControlId{"jhbCancelExport", IDC_CANCEL_EXPORT},
    ControlId{"jhbClose", IDC_CLOSE_EXPORT},
};

inline constexpr std::array kProfileExportWindowIds{
    ControlId{"lblProfile", IDC_PROFILE_LABEL},
    ControlId{"cbProfile", IDC_PROFILE_LIST},
    ControlId{"lblProfileFolder", IDC_PROFILE_FOLDER_LABEL},
    ControlId{"jfeProfile", IDC_PROFILE_FOLDER, IDC_BROWSE_PROFILE_FOLDER},
    ControlId{"lblKinds", IDC_PROFILE_KINDS_LABEL},
    ControlId{"chkKind1", IDC_PROFILE_KIND1},
    ControlId{"chkKind2", IDC_PROFILE_KIND1 + 1},
    ControlId{"chkKind3", IDC_PROFILE_KIND1 + 2},
    ControlId{"chkKind4", IDC_PROFILE_KIND1 + 3},
    ControlId{"chkKind5", IDC_PROFILE_KIND1 + 4},
    ControlId{"chkKind6", IDC_PROFILE_KIND1 + 5},
    ControlId{"chkKind7", IDC_PROFILE_KIND1 + 6},
    ControlId{"lblUntouched", IDC_PROFILE_UNTOUCHED},
    ControlId{"lblTarget", IDC_PROFILE_TARGET_LABEL},
    ControlId{"jfeTarget", IDC_PROFILE_TARGET, IDC_BROWSE_PROFILE_TARGET},
    ControlId{"ProgressBar", IDC_PROFILE_PROGRESS},
    ControlId{"lblStatus", IDC_PROFILE_STATUS},
    ControlId{"memReport", IDC_PROFILE_REPORT},
    ControlId{"jhbStartExport", IDC_START_PROFILE_EXPORT},
    ControlId{"jhbCancelExport", IDC_CANCEL_PROFILE_EXPORT},
    ControlId{"jhbOpenFolder", IDC_OPEN_PROFILE_EXPORT},
    ControlId{"jhbClose", IDC_CLOSE_PROFILE_EXPORT},
};

// The toolbar buttons' commands and pictures; their order, places and
// hints are the table's.
struct ToolCommand {
    std::string_view name;
    int command;
    int picture;  // of the toolbar's image list
};

// The main window's glyphs, in the order of its toolbar strip.
inline constexpr std::array kMainToolCommands{
    ToolCommand{"jsbShowHelp", ID_HELP, 0},
    ToolCommand{"jsbShowContacts", ID_OPEN_CONTACTS, 1},
    ToolCommand{"jsbShowBookmarks", ID_OPEN_BOOKMARKS, 2},
    ToolCommand{"jsbStartConversion", ID_START_CONVERSION, 3},
    ToolCommand{"jsbShowAbout", ID_ABOUT, 4},
    ToolCommand{"jsbExit", ID_EXIT, 5},
};

// The viewer's pictures, of the image list.
inline constexpr std::array kViewerToolCommands{
    ToolCommand{"tbReload", ID_RELOAD, 11},     ToolCommand{"tbSaveAs", ID_SAVE_AS, 13},
    ToolCommand{"tbSaveFile", ID_SAVE, 14},     ToolCommand{"tbSearch", ID_SEARCH, 0},
    ToolCommand{"tbClose", ID_CLOSE_VIEWER, 7},
};

}  // namespace quarvo::win32
