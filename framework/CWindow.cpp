#include "framework/CWindow.h"

void CWindow::CenterOverOwner(HWND center) const
{
    const LONG style = static_cast<LONG>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const bool child = (style & WS_CHILD) != 0;
    if (center == nullptr)
        center = child ? GetParent(m_hWnd) : GetWindow(m_hWnd, GW_OWNER);

    RECT own;
    GetWindowRect(m_hWnd, &own);

    RECT area;
    RECT target;
    if (!child) {
        if (center != nullptr) {
            const LONG centerStyle = static_cast<LONG>(GetWindowLongPtrA(center, GWL_STYLE));
            if (!(centerStyle & WS_VISIBLE) || (centerStyle & WS_MINIMIZE))
                center = nullptr;
        }
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        if (center != nullptr)
            GetWindowRect(center, &target);
        else
            target = area;
    } else {
        HWND parent = GetParent(m_hWnd);
        GetClientRect(parent, &area);
        GetClientRect(center, &target);
        MapWindowPoints(center, parent, reinterpret_cast<POINT*>(&target), 2);
    }

    const LONG w = own.right - own.left;
    const LONG h = own.bottom - own.top;
    LONG x = (target.left + target.right) / 2 - w / 2;
    LONG y = (target.top + target.bottom) / 2 - h / 2;

    if (x < area.left)
        x = area.left;
    else if (x + w > area.right)
        x = area.right - w;
    if (y < area.top)
        y = area.top;
    else if (y + h > area.bottom)
        y = area.bottom - h;

    SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
