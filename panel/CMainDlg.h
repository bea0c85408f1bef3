#pragma once
#include "framework/CDialogImpl.h"
#include "panel/TrayIcon.h"
#include "res/resource.h"
#include "ui/CBitmapBkgnd.h"
#include "ui/CBmpBtn.h"
#include "ui/CCtrlColor.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"
#include "ui/FittedFont.h"

// The main panel: says the computer is on the internal network and how to
// switch, owns the tray icon, starts the flag window, and receives every
// request of the tray, the flag window and its own buttons. Hiding it does
// not end the program; only "退出" in the tray or flag menu does.
class CMainDlg : public CDialogImpl<CMainDlg>,
                 public CCtrlColor<CMainDlg, 0xFF0000, 0xD7F1D7>,
                 public CCtrlHollowColor<CMainDlg, 0x408040, 0xD7F1D7>,
                 public CPaintBkgnd<CMainDlg, 0xE7E7E7>,
                 public CBitmapBkgnd<CMainDlg, IDB_PANEL>
{
public:
    enum { IDD = IDD_MAINDLG };
    // Ticks while a refused tray icon is tried again.
    static constexpr UINT_PTR kTrayRetryTimer = 1;

    explicit CMainDlg(const TrayShellApi& shell = kSystemTrayShellApi);
    ~CMainDlg() override;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

    // True once the flag window's "退出" destroyed the panel: its modal run
    // then yields no end code of its own.
    bool EndedByQuitRequest() const { return m_quitRequested; }

    TrayIcon m_trayIcon;
    CBmpBtn m_settingsButton;
    CBmpBtn m_aboutButton;
    CBmpBtn m_quitButton;

private:
    LRESULT OnInitDialog();
    LRESULT OnTrayNotify(LPARAM mouseMessage);
    // False for a command the panel does not know.
    bool OnCommand(WORD id);
    void MakeToolWindow();
    void FitInstructionLines();
    void SetUpButtons();
    void RunSettingsDialog();
    void RunAboutDialog();
    void QuitFromTray();
    void QuitFromFlag();
    void PrepareToEnd();
    void RestoreTrayIcon();
    void RetryTrayIconSoon();
    void RetryTrayIcon();

    // The instruction lines' font where the dialog's own is too large.
    FittedFont m_linesFont;
    // "TaskbarCreated": a shell that starts, or starts again, asks every
    // program for its icons.
    const UINT m_taskbarCreated;
    int m_trayRetriesLeft = 0;
    bool m_ending = false;
    bool m_quitRequested = false;
    UINT_PTR m_wakeTimer = 0;
};
