#include "panel/TrayIcon.h"

#include "framework/ModuleRecord.h"
#include "panel/PanelMessages.h"

const TrayShellApi kSystemTrayShellApi = {&Shell_NotifyIconA, &GetVersion};

bool TrayIcon::Add(HWND owner)
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
    return AddAgain();
}

bool TrayIcon::AddAgain()
{
    if (api_.notifyIcon(NIM_ADD, &record_))
        return true;
    // An add that timed out while the shell was busy may still have added
    // the icon, and one already there cannot be added: a modify without
    // flags tells whether the shell holds it.
    FullNotifyIconData probe = record_;
    probe.uFlags = 0;
    return api_.notifyIcon(NIM_MODIFY, &probe) != FALSE;
}

void TrayIcon::Remove()
{
    api_.notifyIcon(NIM_DELETE, &record_);
}
