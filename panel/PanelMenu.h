#pragma once
#include <windows.h>

// The "设置"/"关于"/"退出" popup shared by the tray icon and the flag
// window, shown at the cursor. The chosen command (1503, 1502 or 1501) goes
// to `owner` as WM_COMMAND.
void ShowPanelMenu(HWND owner);
