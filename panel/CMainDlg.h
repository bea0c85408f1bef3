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
#include "ui/Palette.h"

// The main panel: says the computer is on the internal network and how to
// switch, owns the tray icon, starts the flag window, and receives every
// request of the tray, the flag window and its own buttons. Hiding it does
// not end the program; only "退出" in the tray or flag menu does.
class CMainDlg : public CDialogImpl<CMainDlg>,
                 public CCtrlColor<CMainDlg, kBlueText, kPaleGreen>,
                 public CCtrlHollowColor<CMainDlg, kGreenText, kPaleGreen>,
                 public CPaintBkgnd<CMainDlg, kPanelGrey>,
                 public CBitmapBkgnd<CMainDlg, IDB_PANEL>
{
public:
    enum { IDD = IDD_MAINDLG };
    // Ticks while a refused tray icon is tried again.
    static constexpr UINT_PTR kTrayRetryTimer = 1;

    explicit CMainDlg(const TrayShellApi& shell = kSystemTrayShellApi);
    ~CMainDlg() override;

    // Runs the panel until the program ends and returns the process's exit
    // code, decided here and nowhere else: 1501 after the tray's "退出",
    // 1505 after the flag's, -1 when the panel cannot be created.
    int Run(HWND owner);

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

    const TrayIcon& Tray() const { return m_trayIcon; }

private:
    // The framework's dialog base calls AfterDpiChange.
    friend class CDialogImpl<CMainDlg>;
    struct ButtonSetup;
    static const ButtonSetup kButtonSetups[3];

    LRESULT OnInitDialog();
    void AfterDpiChange();
    LRESULT FollowTaskbarDpi();
    LRESULT OnTrayNotify(LPARAM mouseMessage);
    LRESULT Show();
    LRESULT Hide();
    LRESULT RunSettingsDialog();
    LRESULT RunAboutDialog();
    LRESULT QuitFromTray();
    LRESULT QuitFromFlag();
    LRESULT RestoreTrayIcon();
    LRESULT RetryTrayIcon();
    void MakeToolWindow();
    void FitInstructionLines();
    SIZE PictureScaled(SIZE length, SIZE otherwise) const;
    void SetUpButtons();
    void AssignButtonFaces();
    void PrepareToEnd();
    void RetryTrayIconSoon();

    TrayIcon m_trayIcon;
    CBmpBtn m_settingsButton;
    CBmpBtn m_aboutButton;
    CBmpBtn m_quitButton;
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
