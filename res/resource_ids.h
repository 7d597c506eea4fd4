#pragma once

// Resource ids of the installer's program file, shared by the resource script and the code.

#define IDI_MAINFRAME 128
#define IDB_BACKGROUND 129
#define IDR_PACK 131
#define IDR_README 132

#define IDD_MENU_SCREEN 102
#define IDD_DISK_SPACE 156
#define IDD_EXIT_INSTALL 157
#define IDD_CREATE_DIR_ERROR 158
#define IDD_OVERWRITE 160
#define IDD_DISK_FULL 161
#define IDD_DELETE_SAVES 162
#define IDD_PLATFORM_ERROR 163
#define IDD_UNINSTALL_CONFIRM 164
#define IDD_DAMAGED_PAYLOAD 165
#define IDD_INSTALL_ERROR 166
#define IDD_UNINSTALL_DONE 191
#define IDD_DESKTOP_SHORTCUT 193

// Menu screen controls: the items' placeholders (their ids are the items' command ids) and the
// background picture.
#define IDC_PLAY 1001
#define IDC_INSTALL 1002
#define IDC_UNINSTALL 1003
#define IDC_VIEW_README 1004
#define IDC_EXIT 1005
#define IDC_BACKGROUND 1009
#define IDC_LANGUAGE 1010

// Disk space warning controls: its three buttons of its own and the two figures.
#define IDC_RETRY_SPACE 1002
#define IDC_ANOTHER_DRIVE 1003
#define IDC_CONTINUE_INSTALL 1004
#define IDC_SPACE_REQUIRED 1007
#define IDC_SPACE_AVAILABLE 1008

// The install error message: its text, set by the caller.
#define IDC_MESSAGE_TEXT 1011

// String table.
#define IDS_BROWSE_TITLE 1
#define IDS_PLAY 2
#define IDS_INSTALL 3
#define IDS_UNINSTALL 4
#define IDS_VIEW_README 5
#define IDS_EXIT 6
#define IDS_REINSTALL 7
#define IDS_LANGUAGE_SELECTION 8

// Progress indicator pictures: the mask, the finished and the unfinished colours.
#define IDB_PROGRESS_MASK 175
#define IDB_PROGRESS_LIT 176
#define IDB_PROGRESS_UNLIT 177

// The menu items' bitmap font: glyph strips in four looks, their common mask and glyph table.
#define IDB_FONT_NORMAL 167
#define IDR_FONT_TABLE 168
#define IDB_FONT_MASK 170
#define IDB_FONT_DISABLED 171
#define IDB_FONT_HOVER 172
#define IDB_FONT_PRESSED 173
