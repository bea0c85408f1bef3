// Resource identifiers of NetChange, shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX        100
#define IDD_MAINDLG         129
#define IDD_CHECK           201
#define IDD_NETFLAG         202

// Icons
#define IDI_MAINFRAME       128
#define IDI_TRAY            1003

// Bitmaps
#define IDB_NETFLAG         1002
#define IDB_PANEL           1005
#define IDB_BTN_SETTINGS    1006
#define IDB_BTN_ABOUT       1008
#define IDB_BTN_QUIT        1009
// The flag drawn at 200 % and 300 %
#define IDB_NETFLAG_96      1010
#define IDB_NETFLAG_144     1011

// Controls
#define IDC_RADIO_CHECK     1000
#define IDC_RADIO_NOCHECK   1001
#define IDC_STATIC_TEXT     (-1)

// Commands
#define ID_PANEL_ABOUT      57664
