#include "panel/TrayIcon.h"

#include "framework/ModuleRecord.h"
#include "panel/PanelMessages.h"

void TrayIcon::Add(HWND owner)
{
    record_.cbSize = sizeof record_;
    record_.hWnd = owner;
    record_.uID = kTrayIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ZeroMemory(record_.szTip, sizeof record_.szTip);
    record_.uCallbackMessage = WM_TRAY_NOTIFY;
    record_.hIcon = LoadIconA(g_moduleRecord.ModuleInstance(), MAKEINTRESOURCEA(IDI_TRAY));
    Shell_NotifyIconA(NIM_ADD, &record_);
}

void TrayIcon::Remove()
{
    Shell_NotifyIconA(NIM_DELETE, &record_);
}
