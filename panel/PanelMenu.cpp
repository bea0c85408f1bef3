#include "panel/PanelMenu.h"

#include "panel/PanelMessages.h"

// The menu is built for every press and thrown away afterwards, so its
// texts can never drift from the commands behind them.
void ShowPanelMenu(HWND owner)
{
    POINT cursor;
    GetCursorPos(&cursor);
    // Foreground first, or the menu stays open when the user clicks away.
    SetForegroundWindow(owner);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, ID_MENU_SETTINGS, "设置");
    AppendMenuA(menu, MF_STRING, ID_MENU_ABOUT, "关于");
    AppendMenuA(menu, MF_STRING, ID_MENU_QUIT, "退出");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    // The other half of the shell's menu quirk: a message to the owner
    // after tracking lets the next click elsewhere close a later menu.
    PostMessageA(owner, WM_NULL, 0, 0);
    if (menu != nullptr)
        DestroyMenu(menu);
}
