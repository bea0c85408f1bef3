#include "dialogs/CCHECKDlg.h"

#include "ui/DialogIcons.h"

const CheckDlgApi kSystemCheckDlgApi = {&kSystemModulePathApi, &MessageBoxA};

namespace {

BOOL CALLBACK EndBoxOf(HWND window, LPARAM dialog)
{
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(dialog))
        EndDialog(window, IDCANCEL);
    return TRUE;
}

}  // namespace

BOOL CCHECKDlg::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
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
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        return Answer(result, OnOk());
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        return Answer(result, OnCancel());
    return CCtrlHollowColor::RouteMessage(window, message, wParam, lParam, result, 0) ||
           CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, 0);
}

LRESULT CCHECKDlg::OnInitDialog()
{
    PrepareForDpiChanges();
    CenterOverOwner(nullptr);
    m_textFont.FitTexts(m_hWnd, m_dpiLayout);
    SetDialogIcons(m_hWnd);
    switch (ReadCheckFlag(*m_api.modulePath)) {
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

void CCHECKDlg::AfterDpiChange()
{
    m_textFont.FitTexts(m_hWnd, m_dpiLayout);
}

LRESULT CCHECKDlg::OnOk()
{
    // Neither selected (a stored value other than 0 or 1): nothing to store.
    const bool check = IsDlgButtonChecked(m_hWnd, IDC_RADIO_CHECK) == BST_CHECKED;
    if (check || IsDlgButtonChecked(m_hWnd, IDC_RADIO_NOCHECK) == BST_CHECKED) {
        const DWORD error = WriteCheckFlag(check, *m_api.modulePath);
        // Closing now would make a lost choice look stored: the dialog stays,
        // so that the user can try again or cancel.
        if (error != ERROR_SUCCESS) {
            ReportNotSaved(error);
            return 0;
        }
    }
    EndDialog(m_hWnd, IDOK);
    return 0;
}

LRESULT CCHECKDlg::OnCancel()
{
    EndDialog(m_hWnd, IDCANCEL);
    return 0;
}

void CCHECKDlg::EndNow()
{
    EnumThreadWindows(GetCurrentThreadId(), &EndBoxOf, reinterpret_cast<LPARAM>(m_hWnd));
    EndDialog(m_hWnd, IDCANCEL);
}

void CCHECKDlg::ReportNotSaved(DWORD error)
{
    char path[MAX_PATH];
    if (!GetCheckIniPath(path, *m_api.modulePath))
        lstrcpynA(path, kCheckIniName, sizeof path);
    char reason[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason, nullptr);
    // The system's text ends with a line break.
    for (int end = lstrlenA(reason); end > 0 && (reason[end - 1] == '\r' || reason[end - 1] == '\n'); --end)
        reason[end - 1] = '\0';
    char text[1024];
    wsprintfA(text, "设置未保存：无法写入文件\n%s\n\n原因：%s（错误 %lu）", path, reason,
              static_cast<unsigned long>(error));
    m_api.messageBox(m_hWnd, text, "提示", MB_OK | MB_ICONWARNING);
}
