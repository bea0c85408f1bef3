#include "panel/TrayIcon.h"

#include "framework/ModuleRecord.h"
#include "panel/PanelMessages.h"

const TrayShellApi kSystemTrayShellApi = {&Shell_NotifyIconA, &GetVersion};

void TrayIcon::Add(HWND owner)
{
    // XP's shell refuses a record of Vista's size, so the icon would be
    // missing there; it takes the record as it knew it.
    const bool vistaOrLater = LOBYTE(LOWORD(api_.windowsVersion())) >= 6;
    record_.cbSize = vistaOrLater ? sizeof record_ : kXpNotifyIconDataSize;
    record_.hWnd = owner;
    record_.uID = kTrayIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ZeroMemory(record_.szTip, sizeof record_.szTip);
    record_.uCallbackMessage = WM_TRAY_NOTIFY;
    record_.hIcon = LoadIconA(g_moduleRecord.ModuleInstance(), MAKEINTRESOURCEA(IDI_TRAY));
    api_.notifyIcon(NIM_ADD, &record_);
}

void TrayIcon::Remove()
{
    api_.notifyIcon(NIM_DELETE, &record_);
}
