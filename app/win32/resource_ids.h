// SPDX-License-Identifier: MIT
// Numbers of the resources and controls that quarvo.rc declares and the
// windows look up; plain defines, as the resource compiler reads this too.
#pragma once

#define IDI_QUARVO 1
#define IDD_MAIN 100
#define IDM_MAIN 101
#define IDB_TOOLBAR 110
#define IDB_TOOLBAR_DISABLED 111
#define IDB_IMAGE_LIST 112
#define IDB_LOGO 113
#define IDB_LOGO_LARGE 114
#define IDB_ABOUT_MAIL 115
#define IDB_UNDER_CONSTRUCTION 116
#define IDD_HELP 120
#define IDD_ABOUT 121
#define IDD_UNDER_CONSTRUCTION 122
#define IDD_VIEWER 123
#define IDR_HELP_TEXT 130

/* Main window */
#define IDC_TOOLBAR 1000
#define IDC_CONTACTS_LABEL 1001
#define IDC_OPERA_CONTACTS 1002
#define IDC_BOOKMARKS_LABEL 1003
#define IDC_OPERA_BOOKMARKS 1004
#define IDC_CONTACTS_OUTPUT_LABEL 1005
#define IDC_CONTACTS_OUTPUT 1006
#define IDC_BOOKMARKS_OUTPUT_LABEL 1007
#define IDC_BOOKMARKS_OUTPUT 1008
#define IDC_BROWSE_OPERA_CONTACTS 1012
#define IDC_BROWSE_OPERA_BOOKMARKS 1014
#define IDC_BROWSE_CONTACTS_OUTPUT 1016
#define IDC_BROWSE_BOOKMARKS_OUTPUT 1018
#define IDC_LOGO 1020
#define IDC_TITLE 1021
#define IDC_VERSION 1022
#define IDC_PURPOSE1 1023
#define IDC_PURPOSE2 1024
#define IDC_START_CONVERSION 1025
#define IDC_PROGRESS 1026
#define IDC_STATUS 1027

/* Help, about, under construction and viewer windows */
#define IDC_BEVEL 1030
#define IDC_HELP_TEXT 1031
#define IDC_CLOSE 1032
#define IDC_AUTHOR 1033
#define IDC_EMAIL 1034
#define IDC_DROP_ME 1035
#define IDC_MAIL_PICTURE 1036
#define IDC_EDITOR 1040

/* Commands of the menu and the toolbars */
#define ID_START_CONVERSION 2000
#define ID_OPEN_BOOKMARKS 2001
#define ID_OPEN_CONTACTS 2002
#define ID_EXIT 2003
#define ID_PREFERENCES 2004
#define ID_SEARCH_ALL 2005
#define ID_SEARCH_BOOKMARKS 2006
#define ID_SEARCH_CONTACTS 2007
#define ID_HELP 2008
#define ID_ABOUT 2009
#define ID_RELOAD 2010
#define ID_SAVE_AS 2011
#define ID_SAVE 2012
#define ID_SEARCH 2013
#define ID_CLOSE_VIEWER 2014
