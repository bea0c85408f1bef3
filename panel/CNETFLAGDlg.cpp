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

const FlagScreenApi kSystemFlagScreenApi = {&MonitorFromPoint, &GetMonitorInfoA, &GetSystemMetrics};

BOOL CNETFLAGDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:    return Answer(result, OnInitDialog(lParam));
    case WM_DISPLAYCHANGE: return Answer(result, OnDisplayChange());
    case WM_ENTERSIZEMOVE: return Answer(result, OnMoving(true));
    case WM_EXITSIZEMOVE:  return Answer(result, OnMoving(false));
    case WM_GETDPISCALEDSIZE: return Answer(result, AnswerDpiScaledSize(wParam, lParam));
    case WM_DPICHANGED:    return Answer(result, OnDpiChanged(wParam, lParam));
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
    PrepareForDpiChanges();
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int screenWidth = m_screens.systemMetric(SM_CXSCREEN);
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

// A new resolution, orientation, monitor or remote session's size. While
// the user drags the flag, its place is settled where the drag ends.
LRESULT CNETFLAGDlg::OnDisplayChange()
{
    if (m_moving)
        m_screenChangedWhileMoving = true;
    else
        KeepInView();
    return 0;
}

LRESULT CNETFLAGDlg::OnMoving(bool moving)
{
    if (!moving && m_screenChangedWhileMoving)
        KeepInView();
    m_moving = moving;
    m_screenChangedWhileMoving = false;
    return 0;
}

// The flag follows its corner, so that the one sign always in view stays in
// view. One that the user put elsewhere stays there while the screens show
// all of it, across the seam of two screens too.
void CNETFLAGDlg::KeepInView()
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    if (!InCorner(own) && Whole(own))
        return;
    PutInCorner(m_screens.monitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), own);
}

// On a screen of another scaling the flag takes its size there; one in its
// corner stays in the corner of its screen.
LRESULT CNETFLAGDlg::OnDpiChanged(WPARAM dpis, LPARAM suggested)
{
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const bool inCorner = InCorner(own);
    TakeDpi(dpis, suggested);
    GetWindowRect(m_hWnd, &own);
    if (inCorner)
        PutInCorner(m_screens.monitorFromPoint({own.right - 1, own.top}, MONITOR_DEFAULTTONEAREST), own);
    RepaintAll();
    return 0;
}

bool CNETFLAGDlg::InCorner(const RECT& own) const
{
    return own.left == m_corner.x && own.top == m_corner.y;
}

bool CNETFLAGDlg::Whole(const RECT& own) const
{
    const POINT corners[] = {{own.left, own.top}, {own.right - 1, own.top}, {own.left, own.bottom - 1},
                             {own.right - 1, own.bottom - 1}};
    for (POINT corner : corners)
        if (m_screens.monitorFromPoint(corner, MONITOR_DEFAULTTONULL) == nullptr)
            return false;
    return true;
}

void CNETFLAGDlg::PutInCorner(HMONITOR monitor, const RECT& own)
{
    MONITORINFO screen = {};
    screen.cbSize = sizeof screen;
    screen.rcMonitor = {0, 0, m_screens.systemMetric(SM_CXSCREEN), m_screens.systemMetric(SM_CYSCREEN)};
    m_screens.monitorInfo(monitor, &screen);
    m_corner = {screen.rcMonitor.right - (own.right - own.left) - kCornerMargin, screen.rcMonitor.top + kCornerMargin};
    SetWindowPos(m_hWnd, nullptr, m_corner.x, m_corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
