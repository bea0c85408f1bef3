// Custom actions of the Windows Installer package, run by msiexec in a
// 32-bit process. Only functions of Windows XP SP3 are imported.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

namespace {

// The program's main dialog and its tray menu's quit command: a running
// NetChange ends on it as if the user had chosen "退出".
const wchar_t kPanelClass[] = L"#32770";
const wchar_t kPanelTitle[] = L"VELMOR隔离卡参数设置";
constexpr WPARAM kQuitCommand = 1501;
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kEndTimeoutMs = 10000;

const wchar_t kStillRunning[] = L"VELMOR 隔离卡参数设置 仍在运行。请从托盘菜单选择“退出”后重试。";

// Sends `type` with the text as the record's template: a line in the log,
// or a question to the user. Without a user interface (/qn) the answer is 0.
int Report(MSIHANDLE install, INSTALLMESSAGE type, const wchar_t* text)
{
    const MSIHANDLE record = MsiCreateRecord(0);
    if (record == 0)
        return 0;
    MsiRecordSetStringW(record, 0, text);
    const int answer = MsiProcessMessage(install, type, record);
    MsiCloseHandle(record);
    return answer;
}

// Asks the program to quit and waits for its process to end.
bool EndProgram(HWND panel)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(panel, &pid);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(panel, WM_COMMAND, kQuitCommand, 0, SMTO_NORMAL, kSendTimeoutMs, &ignored);
    if (process == nullptr)
        return false;
    const bool ended = WaitForSingleObject(process, kEndTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

}  // namespace

// Scheduled before InstallValidate, so that no file of a running program is
// in use when files are replaced or removed. A program that does not end
// leaves the choice to the user: try again, or give up the installation.
extern "C" UINT __stdcall EndRunningNetChange(MSIHANDLE install)
{
    for (;;) {
        const HWND panel = FindWindowW(kPanelClass, kPanelTitle);
        if (panel == nullptr)
            return ERROR_SUCCESS;
        Report(install, INSTALLMESSAGE_INFO, L"EndRunningNetChange: asking the running NetChange to quit.");
        if (EndProgram(panel))
            continue;
        const auto question = INSTALLMESSAGE(INSTALLMESSAGE_USER | MB_RETRYCANCEL | MB_ICONEXCLAMATION);
        if (Report(install, question, kStillRunning) != IDRETRY) {
            Report(install, INSTALLMESSAGE_INFO, L"EndRunningNetChange: NetChange did not end; giving up.");
            return ERROR_INSTALL_FAILURE;
        }
    }
}
