#include "support/ModalDriver.h"

#include <algorithm>
#include <cstring>

namespace {

struct DriveState
{
    ModalRun run;
    std::function<void(HWND)> act;
    std::vector<HWND> seen;
    DWORD start = 0;
    DWORD budget = 0;
};
DriveState* g_drive;

bool IsDialogWindow(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_drive != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window) &&
            std::find(g_drive->seen.begin(), g_drive->seen.end(), window) == g_drive->seen.end()) {
            g_drive->seen.push_back(window);
            if (g_drive->run.window == nullptr)
                g_drive->run.window = window;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DriveState& drive = *g_drive;
    HWND window = drive.run.window;
    if (!drive.run.acted && window != nullptr && IsWindowVisible(window)) {
        drive.run.acted = true;
        drive.act(window);
        return;
    }
    if (!drive.run.stuck && GetTickCount() - drive.start > drive.budget) {
        drive.run.stuck = true;
        if (window != nullptr && IsWindow(window))
            EndDialog(window, kStuck);
    }
}

}  // namespace

ModalRun DriveModal(const std::function<INT_PTR()>& run, const std::function<void(HWND)>& act, DWORD budgetMs)
{
    DriveState drive;
    drive.act = act;
    drive.start = GetTickCount();
    drive.budget = budgetMs;
    g_drive = &drive;
    HHOOK hook = SetWindowsHookExA(WH_CBT, &WatchActivation, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, &Tick);
    drive.run.result = run();
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    g_drive = nullptr;
    drive.run.dialogsActivated = static_cast<int>(drive.seen.size());
    // Keys posted to a window that has gone since must not reach the next test.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    return drive.run;
}

namespace {

WNDPROC g_recordedProcedure;
std::vector<std::string>* g_recorded;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_recorded != nullptr) {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
            g_recorded->push_back("WM_SYSCOMMAND SC_CLOSE");
        else if (message == WM_CLOSE)
            g_recorded->push_back("WM_CLOSE");
        else if (message == WM_COMMAND)
            g_recorded->push_back("WM_COMMAND " + std::to_string(LOWORD(wParam)));
    }
    const WNDPROC original = g_recordedProcedure;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        g_recorded = nullptr;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

}  // namespace

void RecordClosingMessages(HWND dialog, std::vector<std::string>& into)
{
    g_recorded = &into;
    g_recordedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProcedure)));
}

void PostKey(HWND window, UINT key)
{
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
}

namespace {

struct ChildSearch
{
    const char* className;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, search->className) == 0 && IsWindowVisible(window))
        search->found->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ChildrenOfClass(HWND dialog, const char* className)
{
    std::vector<HWND> found;
    ChildSearch search{className, &found};
    EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

POINT CentredPosition(const RECT& window, const RECT& target, const RECT& area)
{
    const LONG w = window.right - window.left;
    const LONG h = window.bottom - window.top;
    LONG x = (target.left + target.right) / 2 - w / 2;
    LONG y = (target.top + target.bottom) / 2 - h / 2;
    x = std::max(area.left, std::min(x, area.right - w));
    y = std::max(area.top, std::min(y, area.bottom - h));
    return POINT{x, y};
}

RECT WorkArea()
{
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}
