#pragma once
// The private messages and commands by which the tray icon, the flag window
// and the main dialog's own buttons drive the main dialog. Every sender and
// receiver includes this header.
#include <windows.h>

#include "res/resource.h"

// Private messages received by the main dialog.
constexpr UINT WM_TRAY_NOTIFY = 1500;     // the tray icon's callback; lParam is the mouse message
constexpr UINT WM_PANEL_SHOW = 1504;      // flag window: double-click
constexpr UINT WM_PANEL_QUIT = 1505;      // flag window: "退出"
constexpr UINT WM_PANEL_SETTINGS = 1506;  // flag window: "设置"
constexpr UINT WM_PANEL_ABOUT = 1507;     // flag window: "关于"

// Posted to the flag window by its thread when the program ends; honoured
// only once that end was asked for.
constexpr UINT WM_FLAG_END = WM_APP + 0x0F1A;

// Commands (WM_COMMAND, low word of wParam). IDOK (1) is "设置", IDCANCEL (2)
// hides the panel, ID_PANEL_ABOUT (57664, from resource.h) is "关于".
constexpr WORD ID_MENU_QUIT = 1501;
constexpr WORD ID_MENU_ABOUT = 1502;
constexpr WORD ID_MENU_SETTINGS = 1503;

constexpr UINT kTrayIconId = 200;

// The main dialog's caption: the flag window and other programs find the
// panel by it, so it must match the template's caption exactly.
constexpr char kPanelTitle[] = "VELMOR隔离卡参数设置";

// The process's exit codes after "退出": the tray's ends the panel's run
// with 1501; the flag's destroys the panel, and the program then ends with
// 1505 (CMainDlg::Run decides).
constexpr int kTrayQuitExitCode = ID_MENU_QUIT;
constexpr int kFlagQuitExitCode = WM_PANEL_QUIT;
