#include "panel/CNETFLAGDlg.h"

#include "panel/FlagWindowThread.h"
#include "panel/PanelMenu.h"
#include "panel/PanelMessages.h"
#include "ui/DialogIcons.h"

BOOL CNETFLAGDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        m_currentMessage->handled = TRUE;
        if (message == WM_LBUTTONDOWN)
            StartDrag();
        else if (message == WM_LBUTTONDBLCLK)
            SendToPanel(WM_PANEL_SHOW);
        else
            ShowPanelMenu(m_hWnd);
        result = 0;
        return m_currentMessage->handled;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_MENU_QUIT:
            SendToPanel(WM_PANEL_QUIT);
            result = 0;
            return TRUE;
        case ID_MENU_ABOUT:
            SendToPanel(WM_PANEL_ABOUT);
            result = 0;
            return TRUE;
        case ID_MENU_SETTINGS:
            SendToPanel(WM_PANEL_SETTINGS);
            result = 0;
            return TRUE;
        }
        break;
    case WM_FLAG_END:
        // Only the program's own teardown ends the flag window.
        if (!FlagWindowThread::StopRequested())
            break;
        EndDialog(m_hWnd, 0);
        result = 0;
        return TRUE;
    default:
        break;
    }
    return CBitmapBkgnd::RouteMessage(window, message, wParam, lParam, result, 0);
}

LRESULT CNETFLAGDlg::OnInitDialog()
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 50, 50, SWP_SHOWWINDOW);
    MoveWindow(m_hWnd, screenWidth - width - 5, 5, width, height, TRUE);
    SetDialogIcons(m_hWnd);
    FlagWindowThread::Publish(m_hWnd);
    return TRUE;
}

// The platform moves the window as if its caption were dragged.
void CNETFLAGDlg::StartDrag()
{
    POINT cursor;
    GetCursorPos(&cursor);
    PostMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void CNETFLAGDlg::SendToPanel(UINT message)
{
    HWND panel = FindWindowA(nullptr, kPanelTitle);
    if (panel == nullptr)
        return;
    SendMessageA(panel, message, 0, 0);
    // While the panel ran a dialog for us, this thread did not answer, and
    // clicks on the flag piled up; acting on them now would pop a menu up
    // long after the click.
    MSG stale;
    while (PeekMessageA(&stale, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        ;
}
