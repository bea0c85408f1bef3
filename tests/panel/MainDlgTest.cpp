#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "panel/CMainDlg.h"
#include "panel/FlagWindowThread.h"
#include "panel/PanelMessages.h"
#include "support/NetChangeProcess.h"
#include "support/Canvas.h"
#include "support/ModalDriver.h"
#include "support/Pump.h"

namespace {

// Runs the panel until it ends and returns its exit code; `script` runs on
// this thread once the panel is up, inside its own modal loop.
int RunPanel(CMainDlg& panel, const std::function<void(HWND)>& script)
{
    return static_cast<int>(DriveModal([&] { return static_cast<INT_PTR>(panel.Run(nullptr)); }, script).result);
}

class MainDlgTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
    }
    // The panel starts the flag window's thread; end it as start-up does.
    void TearDown() override { EXPECT_TRUE(FlagWindowThread::Finish(2000)); }
};

TEST_F(MainDlgTest, TrayQuitEndsTheRunWith1501AfterRemovingTheIcon)
{
    CMainDlg dialog;
    HWND panel = nullptr;
    bool iconWhileRunning = false;
    EXPECT_EQ(kTrayQuitExitCode, RunPanel(dialog, [&](HWND window) {
                  panel = window;
                  iconWhileRunning = TrayIconExists(window, kTrayIconId);
                  SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
              }));
    EXPECT_TRUE(iconWhileRunning);
    EXPECT_FALSE(TrayIconExists(panel, kTrayIconId));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST_F(MainDlgTest, FlagQuitDestroysThePanelAndTheRunReturnsAtOnce)
{
    CMainDlg dialog;
    HWND panel = nullptr;
    bool goneInsideHandler = false;
    bool wakeUpPosted = false;
    const auto script = [&](HWND window) {
        panel = window;
        SendMessageA(window, WM_PANEL_QUIT, 0, 0);
        goneInsideHandler = !IsWindow(window);
        // Timers can run out: a posted thread message must wake the loop.
        MSG wake;
        wakeUpPosted = PeekMessageA(&wake, reinterpret_cast<HWND>(-1), WM_NULL, WM_NULL, PM_NOREMOVE) != FALSE;
    };
    const DWORD start = GetTickCount();
    // The destroyed panel's run has no end code: the program's is 1505.
    EXPECT_EQ(kFlagQuitExitCode, RunPanel(dialog, script));
    // Nothing else arrives to wake the modal loop: the panel must wake it.
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_TRUE(goneInsideHandler);
    EXPECT_TRUE(wakeUpPosted);
    EXPECT_FALSE(TrayIconExists(panel, kTrayIconId));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST_F(MainDlgTest, InitialisationMakesASkinnedToolWindowWithTrayIcon)
{
    CMainDlg dialog;
    LONG_PTR exStyle = 0;
    std::vector<LONG_PTR> buttonStyles;
    std::vector<SIZE> buttonSizes;
    HWND focus = nullptr;
    HWND settingsButton = nullptr;
    HICON big = nullptr;
    HICON small = nullptr;
    const auto script = [&](HWND window) {
        exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        for (int id : {IDOK, ID_PANEL_ABOUT, IDCANCEL}) {
            HWND button = GetDlgItem(window, id);
            RECT rect;
            GetWindowRect(button, &rect);
            buttonStyles.push_back(GetWindowLongPtrA(button, GWL_STYLE));
            buttonSizes.push_back({rect.right - rect.left, rect.bottom - rect.top});
        }
        // The flag window takes the activation as it shows itself, from its
        // own thread and at its own time: the panel is made active again,
        // once the flag is in its corner, before its focus is looked at.
        PumpUntil(
            [] {
                HWND flag = FindProcessDialog(GetCurrentProcessId(), nullptr, true);
                RECT rect = {};
                return flag != nullptr && GetWindowRect(flag, &rect) && rect.left > GetSystemMetrics(SM_CXSCREEN) / 2;
            },
            3000);
        SetForegroundWindow(window);
        PumpUntil([&] { return GetForegroundWindow() == window; }, 3000);
        focus = GetFocus();
        settingsButton = GetDlgItem(window, IDOK);
        big = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
    };
    RunPanel(dialog, script);

    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    ASSERT_EQ(3u, buttonStyles.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(BS_OWNERDRAW, buttonStyles[i] & BS_TYPEMASK) << "button " << i;
        EXPECT_EQ(111, buttonSizes[i].cx) << "button " << i;
        EXPECT_EQ(44, buttonSizes[i].cy) << "button " << i;
    }
    EXPECT_EQ(settingsButton, focus) << "the first tab stop";
    EXPECT_NE(nullptr, big);
    EXPECT_NE(nullptr, small);

    const NOTIFYICONDATAA& record = dialog.Tray().Record();
    EXPECT_EQ(sizeof(NOTIFYICONDATAA), record.cbSize);
    EXPECT_EQ(kTrayIconId, record.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), record.uFlags);
    EXPECT_EQ(WM_TRAY_NOTIFY, record.uCallbackMessage);
    EXPECT_NE(nullptr, record.hIcon);
    for (char c : record.szTip)
        ASSERT_EQ('\0', c);
}

// A shell that refuses adds while asked to (and, when busy, holds the icon
// all the same), and logs every call.
bool g_refuse;
bool g_busy;
bool g_holds;
std::vector<std::pair<DWORD, FullNotifyIconData>> g_calls;
// Runs while the shell removes the icon.
std::function<void()> g_whileRemoving;

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAA record)
{
    g_calls.push_back({message, *static_cast<FullNotifyIconData*>(record)});
    switch (message) {
    case NIM_ADD:
        g_holds = !g_refuse || g_busy;
        return !g_refuse;
    case NIM_DELETE:
        g_holds = false;
        if (g_whileRemoving)
            g_whileRemoving();
        return TRUE;
    default:  // the modify that asks whether the shell holds the icon
        return g_holds;
    }
}

size_t Adds()
{
    size_t adds = 0;
    for (const auto& call : g_calls)
        adds += call.first == NIM_ADD;
    return adds;
}

// A refused add is tried again five times, counted afresh for each refusal
// that starts the tries, unless the shell holds the icon after all; a shell
// that starts again gets the same icon, panel hidden; once the quit began,
// neither a queued tick nor the shell brings the icon back.
TEST_F(MainDlgTest, RefusedAddsAreTriedAFewTimesAndNeverAfterTheQuit)
{
    g_refuse = true;
    g_busy = false;
    g_holds = false;
    g_calls.clear();
    const TrayShellApi shell = {&FakeNotifyIcon, &GetVersion, kSystemTrayShellApi.user32Function, &GetSystemMetrics};
    CMainDlg dialog(shell);
    std::vector<size_t> adds;
    const auto script = [&](HWND window) {
        const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
        const auto ticks = [&](int count) {
            for (int i = 0; i < count; ++i)
                SendMessageA(window, WM_TIMER, CMainDlg::kTrayRetryTimer, 0);
            adds.push_back(Adds());
        };
        ticks(8);
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(window, taskbarCreated, 0, 0);
        ticks(8);
        g_busy = true;
        SendMessageA(window, taskbarCreated, 0, 0);
        ticks(3);
        g_busy = false;
        g_holds = false;
        SendMessageA(window, taskbarCreated, 0, 0);
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
        SendMessageA(window, WM_TIMER, CMainDlg::kTrayRetryTimer, 0);
        SendMessageA(window, taskbarCreated, 0, 0);
        adds.push_back(Adds());
    };
    RunPanel(dialog, script);
    EXPECT_EQ((std::vector<size_t>{1 + 5, 6 + 1 + 5, 12 + 1, 13 + 1}), adds);
    ASSERT_FALSE(g_calls.empty());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls.back().first) << "the icon came back after the quit";
    for (const auto& call : g_calls)
        EXPECT_TRUE(call.first != NIM_ADD || memcmp(&g_calls.front().second, &call.second, sizeof call.second) == 0)
            << "the icon came back changed";
}

UINT g_taskbarDpi;

UINT WINAPI TaskbarDpi(HWND)
{
    return g_taskbarDpi;
}

FARPROC WINAPI Windows10WithTaskbarDpi(LPCSTR name)
{
    if (lstrcmpA(name, "GetDpiForWindow") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&TaskbarDpi));
    return kSystemTrayShellApi.user32Function(name);
}

int IconWidth(HICON icon)
{
    ICONINFO image = {};
    BITMAP mask = {};
    if (!GetIconInfo(icon, &image))
        return 0;
    GetObjectA(image.hbmMask, sizeof mask, &mask);
    DeleteObject(image.hbmMask);
    DeleteObject(image.hbmColor);
    return mask.bmWidth;
}

// The taskbar's scaling changes (the panel's screen's, another screen's, or
// a shell started again at another): the icon takes the image drawn for the
// small-icon size there, in the shell's icon too.
TEST_F(MainDlgTest, TheTrayIconFollowsTheTaskbarsScaling)
{
    g_refuse = g_busy = g_holds = false;
    g_calls.clear();
    g_taskbarDpi = 96;
    const TrayShellApi shell = {&FakeNotifyIcon, &GetVersion, &Windows10WithTaskbarDpi, &GetSystemMetrics};
    CMainDlg dialog(shell);
    std::vector<int> widths;
    RunPanel(dialog, [&](HWND window) {
        const auto after = [&](UINT dpi, UINT message, WPARAM wParam, LPARAM lParam) {
            g_taskbarDpi = dpi;
            SendMessageA(window, message, wParam, lParam);
            widths.push_back(IconWidth(g_calls.back().second.hIcon));
        };
        RECT place;
        GetWindowRect(window, &place);
        after(192, WM_DISPLAYCHANGE, 32, 0);
        after(144, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        after(96, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&place));
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
    });
    EXPECT_EQ((std::vector<int>{32, 24, 16}), widths);
}

int g_windowsRefused;

LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        ++g_windowsRefused;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The tray's quit waits while the shell removes the icon, and this thread
// answers sent messages meanwhile: the flag's and the tray's requests then
// find the panel ending. A dialog or menu would keep the quit waiting for a
// user, and a second quit must not change the first one's exit code.
TEST_F(MainDlgTest, RequestsWhileTheQuitRemovesTheIconDoNothing)
{
    g_refuse = g_busy = g_holds = false;
    const TrayShellApi shell = {&FakeNotifyIcon, &GetVersion, kSystemTrayShellApi.user32Function, &GetSystemMetrics};
    CMainDlg dialog(shell);
    bool shown = true;
    int removals = 0;
    g_windowsRefused = 0;
    g_whileRemoving = [&] {
        if (++removals > 1)
            return;
        HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseWindows, nullptr, GetCurrentThreadId());
        const UINT requests[][3] = {{WM_PANEL_SETTINGS, 0, 0}, {WM_PANEL_ABOUT, 0, 0}, {WM_PANEL_SHOW, 0, 0},
                                    {WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONDOWN}, {WM_PANEL_QUIT, 0, 0},
                                    {WM_COMMAND, ID_MENU_QUIT, 0}};
        for (const UINT* request : requests)
            SendMessageA(dialog.m_hWnd, request[0], request[1], request[2]);
        UnhookWindowsHookEx(hook);
        shown = IsWindowVisible(dialog.m_hWnd) != FALSE;
    };
    EXPECT_EQ(kTrayQuitExitCode, RunPanel(dialog, [](HWND window) { SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0); }));
    g_whileRemoving = nullptr;
    EXPECT_EQ(0, g_windowsRefused) << "a dialog or menu was asked for";
    EXPECT_FALSE(shown);
    EXPECT_EQ(1, removals);
}

// The program's end closes the flag's own open menu, whose loop would hold
// the flag's run until a user closed the menu.
TEST(FlagWindowThreadTest, FinishClosesTheFlagsOpenMenu)
{
    FlagWindowThread::Start();
    const DWORD pid = GetCurrentProcessId();
    HWND flag = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (flag = FindProcessDialog(pid, nullptr, true)) != nullptr; }, 3000));
    PostMessageA(flag, WM_RBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return FindProcessWindow(pid, "#32768") != nullptr; }, 3000));
    EXPECT_TRUE(FlagWindowThread::Finish(2000));
    EXPECT_EQ(nullptr, FindProcessWindow(pid, "#32768"));
}

// Twice: a panel run again must not stay ending.
TEST_F(MainDlgTest, HidingShowingAndTheTrayCallback)
{
    CMainDlg dialog;
    std::vector<bool> visible;
    const auto script = [&](HWND window) {
        auto look = [&] { visible.push_back(IsWindowVisible(window) != FALSE); };
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        look();  // hidden
        for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDBLCLK})
            SendMessageA(window, WM_TRAY_NOTIFY, kTrayIconId, mouse);
        look();  // still hidden
        SendMessageA(window, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        look();  // shown
        SendMessageA(window, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        look();  // still shown
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        look();  // hidden again, whatever the notification code
        SendMessageA(window, WM_PANEL_SHOW, 0, 0);
        look();  // shown
        // The dialog manager turns the close box into a posted IDCANCEL.
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpUntil([&] { return !IsWindowVisible(window); }, 2000);
        look();  // the close box only hides
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
    };
    for (int run = 0; run < 2; ++run) {
        visible.clear();
        EXPECT_EQ(kTrayQuitExitCode, RunPanel(dialog, script)) << "run " << run;
        EXPECT_EQ((std::vector<bool>{false, false, true, true, false, true, false}), visible) << "run " << run;
        EXPECT_TRUE(FlagWindowThread::Finish(2000));
    }
}

TEST_F(MainDlgTest, EveryPrivateMessageAndCommandAnswersZeroAndUnknownCommandsPass)
{
    CMainDlg dialog;
    struct Answer
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        BOOL handled;
        LRESULT result;
    };
    std::vector<Answer> answers;
    const auto script = [&](HWND window) {
        const Answer asked[] = {
            {WM_TRAY_NOTIFY, kTrayIconId, WM_MOUSEMOVE, 0, 0},
            {WM_PANEL_SHOW, 0, 0, 0, 0},
            {WM_COMMAND, IDCANCEL, 0, 0, 0},
            {WM_COMMAND, 4242, 0, 0, 0},
            {WM_COMMAND, ID_PANEL_ABOUT + 1, 0, 0, 0},
            {WM_USER + 1, 0, 0, 0, 0},
        };
        for (Answer answer : asked) {
            answer.result = 77;
            answer.handled = dialog.RouteMessage(window, answer.message, answer.wParam, answer.lParam,
                                                answer.result, 0);
            answers.push_back(answer);
        }
        LRESULT result = 77;
        answers.push_back({WM_PANEL_SHOW, 1, 0, dialog.RouteMessage(window, WM_PANEL_SHOW, 0, 0, result, 1), result});
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
    };
    RunPanel(dialog, script);
    ASSERT_EQ(7u, answers.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(answers[i].handled) << "message " << answers[i].message;
        EXPECT_EQ(0, answers[i].result) << "message " << answers[i].message;
    }
    for (int i = 3; i < 6; ++i) {
        EXPECT_FALSE(answers[i].handled) << "message " << answers[i].message << " wParam " << answers[i].wParam;
        EXPECT_EQ(77, answers[i].result);
    }
    // A map identifier other than 0 is never handled.
    EXPECT_FALSE(answers[6].handled);
}

TEST_F(MainDlgTest, MixinsAnswerInTheirOrder)
{
    CMainDlg dialog;
    LRESULT staticResult = 0;
    LRESULT buttonResult = 77;
    LRESULT dialogResult = 0;
    COLORREF staticText = 0;
    int staticMode = 0;
    COLORREF erased = 0;
    const auto script = [&](HWND window) {
        Canvas canvas(600, 400);
        HDC memory = canvas.Dc();
        staticResult = SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory), 0);
        staticText = GetTextColor(memory);
        staticMode = GetBkMode(memory);
        dialog.RouteMessage(window, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(memory), 0, buttonResult, 0);
        dialogResult = SendMessageA(window, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(memory), 0);
        SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
        erased = canvas.At(5, 5);
        SendMessageA(window, WM_COMMAND, ID_MENU_QUIT, 0);
    };
    RunPanel(dialog, script);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), staticResult);
    EXPECT_EQ(static_cast<COLORREF>(0x408040), staticText);
    EXPECT_EQ(TRANSPARENT, staticMode);
    // 0 leaves the button's brush to the system.
    EXPECT_EQ(0, buttonResult);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.CCtrlColor::Brush()), dialogResult);
    // The bitmap, not the solid 0xE7E7E7 fill, answers the erase.
    EXPECT_NE(static_cast<COLORREF>(0xE7E7E7), erased);
}

}  // namespace
