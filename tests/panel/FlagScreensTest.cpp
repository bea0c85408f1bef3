// The flag window in-process, on screens of the test's own: where it goes
// when the screens change, are dragged across or change their scaling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DpiApi.h"
#include "panel/CNETFLAGDlg.h"
#include "support/ModalDriver.h"

namespace {

std::vector<RECT> g_screens;  // the first is the primary

HMONITOR WINAPI ScreenAt(POINT point, DWORD flags)
{
    for (size_t i = 0; i < g_screens.size(); ++i)
        if (PtInRect(&g_screens[i], point))
            return reinterpret_cast<HMONITOR>(i + 1);
    return flags == MONITOR_DEFAULTTONULL ? nullptr : reinterpret_cast<HMONITOR>(1);
}

BOOL WINAPI ScreenInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const size_t i = reinterpret_cast<size_t>(monitor) - 1;
    if (i >= g_screens.size())
        return FALSE;
    info->rcMonitor = info->rcWork = g_screens[i];
    return TRUE;
}

int WINAPI ScreenMetric(int index)
{
    if (index == SM_CXSCREEN)
        return g_screens[0].right;
    return index == SM_CYSCREEN ? g_screens[0].bottom : GetSystemMetrics(index);
}

const FlagScreenApi kTestScreens = {&ScreenAt, &ScreenInfo, &ScreenMetric};
const RECT kLeft = {0, 0, 1280, 800};
const RECT kRight = {1280, 0, 2560, 800};

// Each step: the screens, what happens, where the flag's top-left then is
// (x -1: in the top-right corner of the first screen).
TEST(FlagScreens, InItsCornerItFollowsTheCornerAndElsewhereItStaysWhileEveryCornerIsOnAScreen)
{
    g_screens = {kLeft};
    CNETFLAGDlg flag(kTestScreens);
    std::vector<std::string> failures;
    const auto script = [&](HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        const int width = rect.right - rect.left;
        const auto place = [&](int x, int y) { SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
        const auto expectAt = [&](const char* step, int x, int y) {
            GetWindowRect(window, &rect);
            const POINT want = {x >= 0 ? x : g_screens[0].right - (rect.right - rect.left) - 5, y};
            if (rect.left != want.x || rect.top != want.y)
                failures.push_back(std::string(step) + ": at " + std::to_string(rect.left) + "," +
                                   std::to_string(rect.top) + ", want " + std::to_string(want.x) + "," +
                                   std::to_string(want.y));
        };
        const auto screensBecome = [&](std::vector<RECT> screens) {
            g_screens = screens;
            SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(screens[0].right, screens[0].bottom));
        };
        expectAt("first shown", -1, 5);
        screensBecome({{0, 0, 1600, 900}});
        expectAt("a larger screen", -1, 5);
        place(700, 5);
        screensBecome({kLeft});
        expectAt("dragged along the top edge", 700, 5);
        place(1280 - width / 2, 300);
        screensBecome({kLeft, kRight});
        expectAt("across the seam of two screens", 1280 - width / 2, 300);
        screensBecome({kLeft});
        expectAt("cut by the screen's edge", -1, 5);
        place(1200, 300);
        SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
        screensBecome({{0, 0, 1024, 768}});
        expectAt("while dragged", 1200, 300);
        SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        expectAt("dropped where the new screen cuts it", -1, 5);
        // At twice the DPI, bigger, and still in its corner.
        RECT suggested;
        GetWindowRect(window, &suggested);
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        expectAt("at 192 DPI", -1, 5);
        GetWindowRect(window, &rect);
        EXPECT_GT(rect.right - rect.left, width);
        place(300, 310);
        suggested = {310, 320, 360, 371};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
        expectAt("elsewhere, where Windows suggests", 310, 320);
        EndDialog(window, 0);
    };
    EXPECT_TRUE(DriveModal([&] { return flag.RunModal(nullptr, 0); }, script).acted);
    EXPECT_EQ(std::vector<std::string>{}, failures);
}

}  // namespace
