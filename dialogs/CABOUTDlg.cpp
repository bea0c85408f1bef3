#include "dialogs/CABOUTDlg.h"

#include "ui/DialogIcons.h"

BOOL CABOUTDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                             DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    if (message == WM_INITDIALOG)
        return Answer(result, OnInitDialog());
    if (message == WM_GETDPISCALEDSIZE)
        return Answer(result, AnswerDpiScaledSize(wParam, lParam));
    if (message == WM_DPICHANGED)
        return Answer(result, ChangeDpi(wParam, lParam));
    // Esc and the close box (IDCANCEL) close the box as "OK" does.
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
        return Answer(result, OnClose(LOWORD(wParam)));
    return CCtrlHollowColor::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, 0);
}

LRESULT CABOUTDlg::OnInitDialog()
{
    PrepareForDpiChanges();
    CenterOverOwner(nullptr);
    m_textFont.FitTexts(m_hWnd, m_dpiLayout);
    SetDialogIcons(m_hWnd);
    return TRUE;
}

void CABOUTDlg::AfterDpiChange()
{
    m_textFont.FitTexts(m_hWnd, m_dpiLayout);
}

LRESULT CABOUTDlg::OnClose(WORD id)
{
    EndDialog(m_hWnd, id);
    return 0;
}
