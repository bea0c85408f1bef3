// What a change of the screen's DPI costs the panel: from WM_DPICHANGED for
// 288 DPI to its client area repainted, and back to 96, against the panel's
// first paint at 288 DPI after a fresh start. Both are timed alike, the
// panel's pending paint done at once (RedrawWindow with RDW_UPDATENOW), each
// in a process of its own started at its DPI (Wine reads LogPixels as a
// process starts), the two kinds alternating, in one run.
//   dpi_change_bench.exe [rounds]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/DpiApi.h"
#include "panel/CMainDlg.h"
#include "panel/FlagWindowThread.h"
#include "panel/PanelMessages.h"

namespace {

constexpr int kFrom = 96;
constexpr int kTo = 288;

double Now()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool g_change;
bool g_measured;
double g_shown = -1;  // the panel's first erase, as it is shown
double g_ms = -1;

bool IsPanel(HWND window)
{
    char caption[64] = {};
    return GetWindowTextA(window, caption, sizeof caption) > 0 && std::string(caption) == kPanelTitle;
}

// As Windows does: the rectangle it suggests is the window scaled, kept on the screen.
void ChangeDpi(HWND panel, int dpi, int from)
{
    RECT rect;
    GetWindowRect(panel, &rect);
    const LONG width = MulDiv(rect.right - rect.left, dpi, from);
    const LONG height = MulDiv(rect.bottom - rect.top, dpi, from);
    const LONG left = std::max(0L, std::min(rect.left, GetSystemMetrics(SM_CXSCREEN) - width));
    const LONG top = std::max(0L, std::min(rect.top, GetSystemMetrics(SM_CYSCREEN) - height));
    RECT suggested = {left, top, left + width, top + height};
    SendMessageA(panel, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RedrawWindow(panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Showing the panel erases its background at once, before any WM_PAINT.
LRESULT CALLBACK AtSentMessage(int code, WPARAM sent, LPARAM lParam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_ERASEBKGND && g_shown < 0 && IsPanel(message->hwnd))
        g_shown = Now();
    return CallNextHookEx(nullptr, code, sent, lParam);
}

// At the panel's first WM_PAINT: its first paint, from its first erase, or,
// once that is done, the change and back; then the panel ends.
LRESULT CALLBACK AtMessage(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_PAINT && !g_measured &&
        IsPanel(message->hwnd)) {
        g_measured = true;
        HWND panel = message->hwnd;
        if (g_change)
            RedrawWindow(panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const double start = g_change ? Now() : g_shown;
        if (g_change) {
            ChangeDpi(panel, kTo, kFrom);
            ChangeDpi(panel, kFrom, kTo);
        } else {
            RedrawWindow(panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        GdiFlush();
        g_ms = (Now() - start) * 1e3;
        PostMessageA(panel, WM_COMMAND, ID_MENU_QUIT, 0);
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}

// One panel, one measurement, printed.
int MeasureOnce(bool change)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    g_change = change;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &AtMessage, nullptr, GetCurrentThreadId());
    HHOOK sentHook = SetWindowsHookExA(WH_CALLWNDPROC, &AtSentMessage, nullptr, GetCurrentThreadId());
    {
        CMainDlg panel;
        panel.Run(nullptr);
    }
    UnhookWindowsHookEx(sentHook);
    UnhookWindowsHookEx(hook);
    FlagWindowThread::Finish(2000);
    std::printf("%.3f\n", g_ms);
    return g_ms > 0 ? 0 : 1;
}

void SetLogPixels(DWORD dpi)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
}

// This program again, started at `dpi` to measure one `mode`; what it printed.
double Child(const char* mode, DWORD dpi)
{
    SetLogPixels(dpi);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" " + mode;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CreatePipe(&read, &write, &inherit, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info = {};
    const bool started =
        CreateProcessA(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(write);
    std::string out;
    char buffer[256];
    DWORD got = 0;
    while (started && ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(read);
    if (!started)
        return -1;
    WaitForSingleObject(info.hProcess, 30000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return out.empty() ? -1 : std::atof(out.c_str());
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "first-paint")
        return MeasureOnce(false);
    if (argc > 1 && std::string(argv[1]) == "change")
        return MeasureOnce(true);
    const int rounds = std::max(1, argc > 1 ? std::atoi(argv[1]) : 9);
    HKEY key = nullptr;
    DWORD had = kFrom;
    DWORD size = sizeof had;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&had), &size);
        RegCloseKey(key);
    }
    std::vector<double> changes;
    std::vector<double> firsts;
    for (int round = 0; round < rounds; ++round) {
        const double first = Child("first-paint", kTo);
        const double change = Child("change", kFrom);
        if (first <= 0 || change <= 0) {
            std::printf("dpichange a measuring run failed (first paint %.3f, change %.3f)\n", first, change);
            SetLogPixels(had);
            return 1;
        }
        firsts.push_back(first);
        changes.push_back(change);
    }
    SetLogPixels(had);
    const double change = Median(changes);
    const double first = Median(firsts);
    std::printf("dpichange panel from %d to %d DPI and back, to the repainted client area: %.1f ms, its first paint "
                "at %d DPI after a fresh start %.1f ms (medians of %d): ratio %.3f (target <= 1.5)\n",
                kFrom, kTo, change, kTo, first, rounds, change / first);
    return 0;
}
