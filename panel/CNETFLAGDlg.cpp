#include "panel/CNETFLAGDlg.h"

#include "framework/AtomicHandle.h"
#include "panel/PanelMenu.h"
#include "panel/PanelMessages.h"
#include "ui/DialogIcons.h"

namespace {

// The window shows itself topmost at this size, then takes the template's
// size back as it moves into the corner.
constexpr int kFirstShowSize = 50;
// Its distance from the screen's top and right edges.
constexpr int kCornerMargin = 5;

}  // namespace

BOOL CNETFLAGDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:    return Answer(result, OnInitDialog(lParam));
    case WM_DISPLAYCHANGE: return Answer(result, OnDisplayChange());
    case WM_LBUTTONDOWN:   return OnMouse(&CNETFLAGDlg::StartDrag, result);
    case WM_LBUTTONDBLCLK: return OnMouse(&CNETFLAGDlg::ShowPanel, result);
    case WM_RBUTTONDOWN:   return OnMouse(&CNETFLAGDlg::ShowMenu, result);
    case WM_FLAG_END:
        if (m_stop == nullptr || !m_stop->Requested())
            break;  // only the program's own end ends the flag window
        return Answer(result, OnEndRequest());
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_MENU_QUIT:     return Answer(result, SendToPanel(WM_PANEL_QUIT));
        case ID_MENU_ABOUT:    return Answer(result, SendToPanel(WM_PANEL_ABOUT));
        case ID_MENU_SETTINGS: return Answer(result, SendToPanel(WM_PANEL_SETTINGS));
        }
        break;
    }
    return CBitmapBkgnd::RouteMessage(window, message, wParam, lParam, result, 0);
}

BOOL CNETFLAGDlg::OnMouse(LRESULT (CNETFLAGDlg::*handler)(), LRESULT& result)
{
    m_currentMessage->handled = TRUE;
    result = (this->*handler)();
    return m_currentMessage->handled;
}

LRESULT CNETFLAGDlg::OnInitDialog(LPARAM stop)
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, kFirstShowSize, kFirstShowSize, SWP_SHOWWINDOW);
    MoveWindow(m_hWnd, screenWidth - width - kCornerMargin, kCornerMargin, width, height, TRUE);
    m_corner = {screenWidth - width - kCornerMargin, kCornerMargin};
    SetDialogIcons(m_hWnd);
    // An end asked for before the window was there is honoured at once.
    m_stop = reinterpret_cast<FlagWindowStop*>(stop);
    if (m_stop != nullptr) {
        AtomicStore(m_stop->window, m_hWnd);
        if (m_stop->Requested())
            PostMessageA(m_hWnd, WM_FLAG_END, 0, 0);
    }
    return TRUE;
}

// A new resolution, orientation, monitor or remote session's size: the flag
// follows its corner, so that the one sign always in view stays in view. One
// that the user put elsewhere stays there while a screen shows all of it.
LRESULT CNETFLAGDlg::OnDisplayChange()
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const bool inCorner = own.left == m_corner.x && own.top == m_corner.y;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    HMONITOR shownOn = MonitorFromRect(&own, MONITOR_DEFAULTTONULL);
    RECT shown = {};
    const bool whole = shownOn != nullptr && GetMonitorInfoA(shownOn, &monitor) &&
                       IntersectRect(&shown, &own, &monitor.rcMonitor) && EqualRect(&shown, &own);
    if (!inCorner && whole)
        return 0;
    m_corner = {GetSystemMetrics(SM_CXSCREEN) - (own.right - own.left) - kCornerMargin, kCornerMargin};
    SetWindowPos(m_hWnd, nullptr, m_corner.x, m_corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CNETFLAGDlg::OnEndRequest()
{
    EndDialog(m_hWnd, 0);
    return 0;
}

// The platform moves the window as if its caption were dragged.
LRESULT CNETFLAGDlg::StartDrag()
{
    POINT cursor;
    GetCursorPos(&cursor);
    PostMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    return 0;
}

LRESULT CNETFLAGDlg::ShowPanel()
{
    return SendToPanel(WM_PANEL_SHOW);
}

LRESULT CNETFLAGDlg::ShowMenu()
{
    ShowPanelMenu(m_hWnd);
    return 0;
}

LRESULT CNETFLAGDlg::SendToPanel(UINT message)
{
    HWND panel = FindWindowA(nullptr, kPanelTitle);
    if (panel == nullptr)
        return 0;
    SendMessageA(panel, message, 0, 0);
    // While the panel ran a dialog for us, this thread did not answer, and
    // clicks on the flag piled up; acting on them now would pop a menu up
    // long after the click.
    MSG stale;
    while (PeekMessageA(&stale, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        ;
    return 0;
}
