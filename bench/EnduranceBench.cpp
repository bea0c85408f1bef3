// Endurance: 1 000 openings of each secondary dialog and 10 000 private
// messages, with the process's handles, GDI and USER objects and memory
// counted before and after. Runs the program's own panel in this process
// ("netchange"), or the same cycles with plain dialogs ("bare").
//   endurance_bench.exe netchange|bare
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "panel/CMainDlg.h"
#include "panel/FlagWindowThread.h"
#include "panel/PanelMessages.h"
#include "support/GdiObjects.h"

namespace {

constexpr int kDialogCycles = 1000;
constexpr int kMessages = 10000;
// Caches of the platform (window DCs, fonts) fill up during the first
// openings; they are not the program's to release, so the count starts
// after a warm-up.
constexpr int kWarmCycles = 20;
constexpr int kWarmMessages = 500;
constexpr char kSettingsTitle[] = "设置";
constexpr char kAboutTitle[] = "关于";

struct Counters
{
    long handles = 0;
    long gdi = 0;
    long user = 0;
    SIZE_T pagefile = 0;
    bool gdiCounted = false;   // counted in the GDI handle table, not reported
    bool userCounted = false;  // counted as windows, not reported
};

// Kernel handles, counted by asking for each possible value: Wine reports
// no handle count.
long CountHandles()
{
    long n = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++n;
    }
    return n;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM context)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(context);
        EnumChildWindows(window, &CountWindow, context);
    }
    return TRUE;
}

Counters Take()
{
    Counters counters;
    counters.handles = CountHandles();
    counters.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    if (counters.gdi == 0) {
        counters.gdi = CountGdiObjects();
        counters.gdiCounted = true;
    }
    counters.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (counters.user == 0) {
        EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&counters.user));
        counters.userCounted = true;
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    counters.pagefile = memory.PagefileUsage;
    return counters;
}

// Drives the host dialog through rounds of work: a warm-up, the measured
// round, and the same work once more. A CBT hook closes each secondary
// dialog as soon as it is activated; a message-only window of ours moves on
// to the next step from inside whichever modal loop runs.
class Driver
{
public:
    struct Round
    {
        int dialogCycles;
        int messages;
    };
    // Counters taken after each round.
    Counters after[3];

    Driver()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &ControlProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "EnduranceDriver";
        RegisterClassA(&windowClass);
        m_control = CreateWindowA("EnduranceDriver", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
        m_current = this;
        m_hook = SetWindowsHookExA(WH_CBT, &CbtHook, nullptr, GetCurrentThreadId());
    }
    ~Driver()
    {
        UnhookWindowsHookEx(m_hook);
        DestroyWindow(m_control);
        m_current = nullptr;
    }

private:
    enum Step { kSettings, kAbout, kMessages };
    static constexpr UINT kNext = WM_APP + 1;
    static constexpr Round kRounds[3] = {{kWarmCycles, kWarmMessages}, {kDialogCycles, kMessages}, {kDialogCycles, kMessages}};

    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE && m_current != nullptr)
            m_current->OnActivate(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kNext && m_current != nullptr) {
            m_current->Next();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void OnActivate(HWND window)
    {
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (std::strcmp(title, kSettingsTitle) == 0) {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(m_control, kNext, 0, 0);
        } else if (std::strcmp(title, kAboutTitle) == 0) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            PostMessageA(m_control, kNext, 0, 0);
        } else if (m_host == nullptr) {
            m_host = window;
            m_remaining = kRounds[0].dialogCycles;
            PostMessageA(m_control, kNext, 0, 0);
        }
    }

    void Next()
    {
        const Round& round = kRounds[m_round];
        switch (m_step) {
        case kSettings:
        case kAbout:
            if (m_remaining-- > 0) {
                PostMessageA(m_host, WM_COMMAND, m_step == kSettings ? IDOK : ID_PANEL_ABOUT, 0);
                return;
            }
            m_step = m_step == kSettings ? kAbout : kMessages;
            m_remaining = round.dialogCycles;
            PostMessageA(m_control, kNext, 0, 0);
            return;
        case kMessages:
            SendPrivateMessages(round.messages);
            after[m_round] = Take();
            if (++m_round == 3) {
                PostMessageA(m_host, WM_COMMAND, ID_MENU_QUIT, 0);
                return;
            }
            m_step = kSettings;
            m_remaining = kRounds[m_round].dialogCycles;
            PostMessageA(m_control, kNext, 0, 0);
            return;
        }
    }

    void SendPrivateMessages(int count)
    {
        for (int i = 0; i < count; ++i) {
            switch (i % 5) {
            case 0:
                SendMessageA(m_host, WM_PANEL_SHOW, 0, 0);
                break;
            case 1:
                SendMessageA(m_host, WM_TRAY_NOTIFY, kTrayIconId, WM_MOUSEMOVE);
                break;
            case 2:
                SendMessageA(m_host, WM_COMMAND, IDCANCEL, 0);
                break;
            case 3:
                SendMessageA(m_host, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
                break;
            default:
                SendMessageA(m_host, WM_COMMAND, 4242, 0);
                break;
            }
        }
    }

    HWND m_control = nullptr;
    HHOOK m_hook = nullptr;
    HWND m_host = nullptr;
    int m_round = 0;
    Step m_step = kSettings;
    int m_remaining = 0;
    static Driver* m_current;
};

Driver* Driver::m_current = nullptr;

INT_PTR CALLBACK PlainSecondary(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// The bare host shows and hides itself on the same messages as the panel,
// so that both runs do the same window work.
INT_PTR CALLBACK PlainHost(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_PANEL_SHOW || (message == WM_TRAY_NOTIFY && lParam == WM_LBUTTONDBLCLK)) {
        ShowWindow(dialog, SW_SHOW);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDCANCEL:
        ShowWindow(dialog, SW_HIDE);
        return TRUE;
    case IDOK:
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CHECK), dialog, &PlainSecondary, 0);
        return TRUE;
    case ID_PANEL_ABOUT:
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), dialog, &PlainSecondary, 0);
        return TRUE;
    case ID_MENU_QUIT:
        EndDialog(dialog, ID_MENU_QUIT);
        return TRUE;
    default:
        return FALSE;
    }
}

void Print(const char* what, const Counters& before, const Counters& after)
{
    std::printf("%s: handles %+ld, GDI objects %+ld%s, USER objects %+ld%s, pagefile %+.1f KiB\n", what,
                after.handles - before.handles, after.gdi - before.gdi, before.gdiCounted ? " (handle table)" : "",
                after.user - before.user, before.userCounted ? " (windows)" : "",
                (static_cast<double>(after.pagefile) - static_cast<double>(before.pagefile)) / 1024.0);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool netchange = argc < 2 || std::strcmp(argv[1], "bare") != 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    Driver driver;
    if (netchange) {
        CMainDlg panel;
        panel.RunModal(nullptr, 0);
        FlagWindowThread::Finish(2000);
    } else {
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAINDLG), nullptr, &PlainHost, 0);
    }
    const char* name = netchange ? "NetChange" : "bare dialog";
    std::printf("endurance %s, %d openings of each secondary dialog and %d private messages\n", name, kDialogCycles,
                kMessages);
    Print("          growth", driver.after[0], driver.after[1]);
    // A leak grows again with the same work; a cache of the platform does not.
    Print("          the same work once more", driver.after[1], driver.after[2]);
    return 0;
}
