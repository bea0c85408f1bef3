#include "panel/CMainDlg.h"

#include "app/RunAtStartup.h"
#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "panel/FlagWindowThread.h"
#include "panel/PanelMenu.h"
#include "panel/PanelMessages.h"
#include "ui/DialogIcons.h"
#include "ui/ImageStrip.h"

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
// One face of a button's image strip, as drawn for the picture at its own
// size: the buttons take the face's size.
constexpr SIZE kButtonFace = {111, 44};
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

int CMainDlg::Run(HWND owner)
{
    m_quitRequested = false;
    m_ending = false;
    const INT_PTR ended = RunModal(owner, 0);
    // The flag's "退出" destroys the panel, which leaves the run no end code.
    return m_quitRequested ? kFlagQuitExitCode : static_cast<int>(ended);
}

BOOL CMainDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    // Registered at run time, so no case label.
    if (message == m_taskbarCreated && message != 0)
        return Answer(result, RestoreTrayIcon());
    switch (message) {
    case WM_INITDIALOG:     return Answer(result, OnInitDialog());
    case WM_TRAY_NOTIFY:    return Answer(result, OnTrayNotify(lParam));
    case WM_PANEL_SHOW:     return Answer(result, Show());
    case WM_PANEL_QUIT:     return Answer(result, QuitFromFlag());
    case WM_PANEL_SETTINGS: return Answer(result, RunSettingsDialog());
    case WM_PANEL_ABOUT:    return Answer(result, RunAboutDialog());
    case WM_GETDPISCALEDSIZE: return Answer(result, AnswerDpiScaledSize(wParam, lParam));
    case WM_DPICHANGED:     return Answer(result, ChangeDpi(wParam, lParam));
    case WM_DISPLAYCHANGE:  return Answer(result, FollowTaskbarDpi());
    case WM_TIMER:
        if (wParam == kTrayRetryTimer)
            return Answer(result, RetryTrayIcon());
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case ID_MENU_SETTINGS: return Answer(result, RunSettingsDialog());
        case ID_PANEL_ABOUT:
        case ID_MENU_ABOUT:    return Answer(result, RunAboutDialog());
        case IDCANCEL:         return Answer(result, Hide());
        case ID_MENU_QUIT:     return Answer(result, QuitFromTray());
        }
        break;
    }
    // Then the look, the first mixin that answers winning, and the order is
    // the look: the picture answers every erase, so CPaintBkgnd's grey never
    // shows; the hollow green answers statics and buttons, so CCtrlColor's
    // blue text never shows and only its brush, the dialog's, is used.
    return CBitmapBkgnd::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CCtrlHollowColor::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CCtrlColor::RouteMessage(window, message, wParam, lParam, result, 0);
}

LRESULT CMainDlg::OnInitDialog()
{
    PrepareForDpiChanges();
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
LRESULT CMainDlg::RestoreTrayIcon()
{
    if (m_ending)
        return 0;
    // A taskbar that starts again may stand on a screen of another scaling.
    m_trayIcon.FollowTaskbarDpi();
    if (!m_trayIcon.AddAgain())
        RetryTrayIconSoon();
    return 0;
}

// Another scaling, here or where the taskbar is: the panel is laid out for
// its new DPI, and the tray icon takes the image drawn for its new size.
void CMainDlg::AfterDpiChange()
{
    FitInstructionLines();
    AssignButtonFaces();
    FollowTaskbarDpi();
}

LRESULT CMainDlg::FollowTaskbarDpi()
{
    if (!m_ending)
        m_trayIcon.FollowTaskbarDpi();
    return 0;
}

// A tick already queued when the quit began must not bring the icon back
// after the quit removed it.
LRESULT CMainDlg::RetryTrayIcon()
{
    if (m_ending || m_trayRetriesLeft <= 0 || m_trayIcon.AddAgain() || --m_trayRetriesLeft <= 0)
        KillTimer(m_hWnd, kTrayRetryTimer);
    return 0;
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
    m_linesFont.FitTexts(m_hWnd, m_dpiLayout, PictureScaled({kPictureTextBoxRight, 0}, {client.right, 0}).cx);
}

// A length of the picture's own pixels as the picture is drawn over the
// client area; `otherwise` where there is no picture.
SIZE CMainDlg::PictureScaled(SIZE length, SIZE otherwise) const
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    const SIZE picture = PictureSize();
    if (picture.cx <= 0 || picture.cy <= 0)
        return otherwise;
    const SIZE drawn = ScaledPicture::DrawnSize(picture, {client.right, client.bottom});
    return {MulDiv(length.cx, drawn.cx, picture.cx), MulDiv(length.cy, drawn.cy, picture.cy)};
}

struct CMainDlg::ButtonSetup
{
    CBmpBtn CMainDlg::*button;
    int id;
    UINT strip;
    const char* tooltip;
};

const CMainDlg::ButtonSetup CMainDlg::kButtonSetups[3] = {
    {&CMainDlg::m_settingsButton, IDOK, IDB_BTN_SETTINGS, "设置"},
    {&CMainDlg::m_aboutButton, ID_PANEL_ABOUT, IDB_BTN_ABOUT, "关于"},
    {&CMainDlg::m_quitButton, IDCANCEL, IDB_BTN_QUIT, "退出"},
};

void CMainDlg::SetUpButtons()
{
    for (const ButtonSetup& setup : kButtonSetups) {
        CBmpBtn& button = this->*setup.button;
        button.AttachToControl(GetDlgItem(m_hWnd, setup.id));
        button.AssignTooltipText(setup.tooltip);
        button.AssignImageIndices(1, 2, 3, 0);
    }
    AssignButtonFaces();
}

// The faces grow with the picture around them, or they would shrink to a
// third of their place at 250 % and more; the strip of an earlier size goes.
void CMainDlg::AssignButtonFaces()
{
    const SIZE face = PictureScaled(kButtonFace, kButtonFace);
    for (const ButtonSetup& setup : kButtonSetups) {
        CBmpBtn& button = this->*setup.button;
        HIMAGELIST earlier = button.ImageStrip();
        button.AssignImageStrip(LoadImageStrip(setup.strip, kButtonFace, face));
        if (earlier != nullptr)
            ImageList_Destroy(earlier);
    }
}

// Only a double-click and a right-button press act on the icon.
LRESULT CMainDlg::OnTrayNotify(LPARAM mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDBLCLK)
        return Show();
    if (mouseMessage == WM_RBUTTONDOWN && !m_ending)
        ShowPanelMenu(m_hWnd);
    return 0;
}

// Once the panel is ending, requests do nothing: the quit answers sent
// messages while the shell removes the icon, and a dialog or menu opened
// then would keep the program waiting for a user.
LRESULT CMainDlg::Show()
{
    if (!m_ending)
        ShowWindow(m_hWnd, SW_SHOW);
    return 0;
}

// Esc, the close box and the "退出" button: the program stays in the tray.
LRESULT CMainDlg::Hide()
{
    ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

LRESULT CMainDlg::RunSettingsDialog()
{
    if (!m_ending)
        RunSecondary(g_checkDlg);
    return 0;
}

LRESULT CMainDlg::RunAboutDialog()
{
    if (!m_ending)
        RunSecondary(g_aboutDlg);
    return 0;
}

// A second quit, while the first one waits for the shell, changes nothing:
// the first one's exit code stands.
LRESULT CMainDlg::QuitFromTray()
{
    if (m_ending)
        return 0;
    PrepareToEnd();
    EndDialog(m_hWnd, kTrayQuitExitCode);
    m_trayIcon.Remove();
    return 0;
}

LRESULT CMainDlg::QuitFromFlag()
{
    if (m_ending)
        return 0;
    m_quitRequested = true;
    PrepareToEnd();
    DestroyWindow(m_hWnd);
    m_trayIcon.Remove();
    return 0;
}

// Quitting does not wait for the user: an open menu and the secondary
// dialogs end first, writing nothing, and the icon is not put back.
void CMainDlg::PrepareToEnd()
{
    m_ending = true;
    KillTimer(m_hWnd, kTrayRetryTimer);
    EndMenu();
    if (g_checkDlg.IsOpen())
        g_checkDlg.EndNow();
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
