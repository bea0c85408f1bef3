#include "panel/CMainDlg.h"

#include "app/ProcessObjects.h"
#include "app/RunAtStartup.h"
#include "panel/FlagWindowThread.h"
#include "panel/PanelMenu.h"
#include "panel/PanelMessages.h"
#include "ui/DialogIcons.h"

namespace {

// One dialog of each kind at a time: a second request brings the open one
// forward instead of starting a second run on the same object.
template <class TDialog>
void RunSecondary(TDialog& dialog)
{
    if (dialog.IsOpen()) {
        SetForegroundWindow(dialog.m_hWnd);
        return;
    }
    dialog.RunModal(GetActiveWindow(), 0);
}

constexpr UINT kWakeIntervalMs = 50;
constexpr UINT kTrayRetryMs = 2000;
constexpr int kTrayRetries = 5;

// Where the picture's text box ends, in the picture's own pixels
// (tools/make-artwork.sh draws it): the instruction lines stay left of it.
constexpr int kPictureTextBoxRight = 388;

}  // namespace

CMainDlg::CMainDlg(const TrayShellApi& shell)
    : m_trayIcon(shell), m_taskbarCreated(RegisterWindowMessageA("TaskbarCreated"))
{
}

CMainDlg::~CMainDlg()
{
    if (m_wakeTimer != 0)
        KillTimer(nullptr, m_wakeTimer);
}

BOOL CMainDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    // Registered at run time, so no case label.
    if (message == m_taskbarCreated && message != 0) {
        RestoreTrayIcon();
        result = 0;
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) {
            result = 0;
            return TRUE;
        }
        break;
    case WM_TRAY_NOTIFY:
        result = OnTrayNotify(lParam);
        return TRUE;
    case WM_PANEL_SHOW:
        ShowWindow(m_hWnd, SW_SHOW);
        result = 0;
        return TRUE;
    case WM_PANEL_QUIT:
        QuitFromFlag();
        result = 0;
        return TRUE;
    case WM_PANEL_SETTINGS:
        RunSettingsDialog();
        result = 0;
        return TRUE;
    case WM_PANEL_ABOUT:
        RunAboutDialog();
        result = 0;
        return TRUE;
    case WM_TIMER:
        if (wParam != kTrayRetryTimer)
            break;
        RetryTrayIcon();
        result = 0;
        return TRUE;
    default:
        break;
    }
    return CBitmapBkgnd::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CCtrlHollowColor::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CCtrlColor::RouteMessage(window, message, wParam, lParam, result, 0);
}

bool CMainDlg::OnCommand(WORD id)
{
    switch (id) {
    case IDOK:
    case ID_MENU_SETTINGS:
        RunSettingsDialog();
        break;
    case ID_PANEL_ABOUT:
    case ID_MENU_ABOUT:
        RunAboutDialog();
        break;
    case IDCANCEL:
        ShowWindow(m_hWnd, SW_HIDE);
        break;
    case ID_MENU_QUIT:
        QuitFromTray();
        break;
    default:
        return false;
    }
    return true;
}

LRESULT CMainDlg::OnInitDialog()
{
    CenterOverOwner(nullptr);
    MakeToolWindow();
    FitInstructionLines();
    SetDialogIcons(m_hWnd);
    FlagWindowThread::Start();
    RegisterRunAtStartup();
    SetUpButtons();
    if (!m_trayIcon.Add(m_hWnd))
        RetryTrayIconSoon();
    return TRUE;
}

// Started with Windows, the program often comes before the taskbar, or
// while the shell is too busy to answer in time: a refused icon is tried
// again a few times. A taskbar that comes later sends "TaskbarCreated".
void CMainDlg::RetryTrayIconSoon()
{
    m_trayRetriesLeft = kTrayRetries;
    SetTimer(m_hWnd, kTrayRetryTimer, kTrayRetryMs, nullptr);
}

// A shell that starts again has lost every icon: shown or hidden, the panel
// puts its own back.
void CMainDlg::RestoreTrayIcon()
{
    if (!m_ending && !m_trayIcon.AddAgain())
        RetryTrayIconSoon();
}

// A tick already queued when the quit began must not bring the icon back
// after the quit removed it.
void CMainDlg::RetryTrayIcon()
{
    if (m_ending || m_trayRetriesLeft <= 0 || m_trayIcon.AddAgain() || --m_trayRetriesLeft <= 0)
        KillTimer(m_hWnd, kTrayRetryTimer);
}

// No taskbar button: the panel is reached through the tray and the flag.
void CMainDlg::MakeToolWindow()
{
    const LONG_PTR exStyle = GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    const LONG_PTR changed = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    if (changed != exStyle)
        SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, changed);
}

// The picture is stretched with the dialog (see ScaledPicture), and so is
// its text box; the lines get a smaller font where the dialog's font would
// run past the box or out of a line's control.
void CMainDlg::FitInstructionLines()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    const SIZE picture = PictureSize();
    const SIZE drawn = ScaledPicture::DrawnSize(picture, {client.right, client.bottom});
    const int boxRight = picture.cx > 0 ? MulDiv(kPictureTextBoxRight, drawn.cx, picture.cx) : client.right;
    m_linesFont.FitStatics(m_hWnd, boxRight);
}

void CMainDlg::SetUpButtons()
{
    struct Setup
    {
        CBmpBtn& button;
        int id;
        UINT strip;
        const char* tooltip;
    };
    const Setup setups[] = {
        {m_settingsButton, IDOK, IDB_BTN_SETTINGS, "设置"},
        {m_aboutButton, ID_PANEL_ABOUT, IDB_BTN_ABOUT, "关于"},
        {m_quitButton, IDCANCEL, IDB_BTN_QUIT, "退出"},
    };
    for (const Setup& setup : setups) {
        HIMAGELIST strip = ImageList_LoadImageA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(setup.strip),
                                                111, 0, CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION);
        setup.button.AttachToControl(GetDlgItem(m_hWnd, setup.id));
        setup.button.AssignTooltipText(setup.tooltip);
        setup.button.AssignImageStrip(strip);
        setup.button.AssignImageIndices(1, 2, 3, 0);
    }
}

LRESULT CMainDlg::OnTrayNotify(LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        ShowWindow(m_hWnd, SW_SHOW);
        break;
    case WM_RBUTTONDOWN:
        ShowPanelMenu(m_hWnd);
        break;
    default:
        break;
    }
    return 0;
}

void CMainDlg::RunSettingsDialog()
{
    RunSecondary(g_checkDlg);
}

void CMainDlg::RunAboutDialog()
{
    RunSecondary(g_aboutDlg);
}

void CMainDlg::QuitFromTray()
{
    PrepareToEnd();
    EndDialog(m_hWnd, kTrayQuitExitCode);
    m_trayIcon.Remove();
}

void CMainDlg::QuitFromFlag()
{
    m_quitRequested = true;
    PrepareToEnd();
    DestroyWindow(m_hWnd);
    m_trayIcon.Remove();
}

// Quitting does not wait for the user: an open menu and the secondary
// dialogs end first, writing nothing, and the icon is not put back.
void CMainDlg::PrepareToEnd()
{
    m_ending = true;
    KillTimer(m_hWnd, kTrayRetryTimer);
    EndMenu();
    if (g_checkDlg.IsOpen())
        EndDialog(g_checkDlg.m_hWnd, IDCANCEL);
    if (g_aboutDlg.IsOpen())
        EndDialog(g_aboutDlg.m_hWnd, IDCANCEL);
    // A modal loop notices that its dialog has ended only when its next
    // message arrives, and loops nested in our handlers unwind one by one,
    // each needing one of its own: a thread timer gives each of them one.
    // Timers can run out; the posted message cannot, and wakes at least
    // the innermost loop.
    if (m_wakeTimer == 0)
        m_wakeTimer = SetTimer(nullptr, 0, kWakeIntervalMs, nullptr);
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}
