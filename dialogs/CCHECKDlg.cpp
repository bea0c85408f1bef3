#include "dialogs/CCHECKDlg.h"

#include "app/DetectionSettings.h"
#include "ui/DialogIcons.h"

BOOL CCHECKDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                             DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    if (message == WM_INITDIALOG)
        return Answer(result, OnInitDialog());
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        return Answer(result, OnOk());
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        return Answer(result, OnCancel());
    return CCtrlHollowColor::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, 0);
}

LRESULT CCHECKDlg::OnInitDialog()
{
    CenterOverOwner(nullptr);
    m_textFont.FitTexts(m_hWnd);
    SetDialogIcons(m_hWnd);
    switch (ReadCheckFlag()) {
    case 0:
        CheckDlgButton(m_hWnd, IDC_RADIO_NOCHECK, BST_CHECKED);
        break;
    case 1:
        CheckDlgButton(m_hWnd, IDC_RADIO_CHECK, BST_CHECKED);
        break;
    default:
        break;
    }
    // Both push buttons carry the default style in the template, and a
    // dialog manager may keep the last one, "取消", as the default: Enter
    // would then drop the user's choice. OK is the default.
    SendMessageA(m_hWnd, DM_SETDEFID, IDOK, 0);
    SendDlgItemMessageA(m_hWnd, IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    return TRUE;
}

LRESULT CCHECKDlg::OnOk()
{
    if (IsDlgButtonChecked(m_hWnd, IDC_RADIO_CHECK) == BST_CHECKED)
        WriteCheckFlag(true);
    if (IsDlgButtonChecked(m_hWnd, IDC_RADIO_NOCHECK) == BST_CHECKED)
        WriteCheckFlag(false);
    EndDialog(m_hWnd, IDOK);
    return 0;
}

LRESULT CCHECKDlg::OnCancel()
{
    EndDialog(m_hWnd, IDCANCEL);
    return 0;
}
