#include "ui/DialogIcons.h"

#include "framework/AtomicHandle.h"
#include "framework/ModuleRecord.h"
#include "res/resource.h"

namespace {

HICON volatile g_bigIcon;
HICON volatile g_smallIcon;

// Both GUI threads set icons; the first load wins and a loser's copy goes.
HICON SharedIcon(HICON volatile& slot, int widthMetric, int heightMetric)
{
    HICON icon = AtomicLoad(slot);
    if (icon != nullptr)
        return icon;
    icon = static_cast<HICON>(LoadImageA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(IDI_MAINFRAME),
                                         IMAGE_ICON, GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                         LR_DEFAULTCOLOR));
    if (icon == nullptr)
        return nullptr;
    HICON winner = AtomicStoreIfEmpty(slot, icon);
    if (winner == nullptr)
        return icon;
    DestroyIcon(icon);
    return winner;
}

}  // namespace

void SetDialogIcons(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(SharedIcon(g_bigIcon, SM_CXICON, SM_CYICON)));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(SharedIcon(g_smallIcon, SM_CXSMICON, SM_CYSMICON)));
}
