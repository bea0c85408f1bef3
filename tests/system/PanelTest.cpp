#include <gtest/gtest.h>

#include "Input.h"
#include "StartedProgram.h"
#include "support/Pump.h"

namespace {

class PanelTest : public StartedProgram
{
protected:
    bool Visible() const { return IsWindowVisible(panel) != FALSE; }
    bool BecomesHidden() { return PumpUntil([&] { return !Visible(); }, 3000); }
    bool BecomesVisible() { return PumpUntil([&] { return Visible(); }, 3000); }
};

TEST_F(PanelTest, StartsVisibleCentredInTheWorkAreaAsAToolWindowWithSkinnedButtons)
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rect;
    GetWindowRect(panel, &rect);
    const LONG w = rect.right - rect.left;
    const LONG h = rect.bottom - rect.top;
    EXPECT_EQ((area.left + area.right) / 2 - w / 2, rect.left);
    EXPECT_EQ((area.top + area.bottom) / 2 - h / 2, rect.top);

    const LONG_PTR exStyle = GetWindowLongPtrA(panel, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(nullptr, GetWindow(panel, GW_OWNER));

    for (int id : {IDOK, IDCANCEL, 57664}) {
        HWND button = GetDlgItem(panel, id);
        ASSERT_NE(nullptr, button) << id;
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) << id;
        RECT b;
        GetWindowRect(button, &b);
        EXPECT_EQ(111, b.right - b.left) << id;
        EXPECT_EQ(44, b.bottom - b.top) << id;
    }
    EXPECT_TRUE(TrayIconExists(panel));
}

TEST_F(PanelTest, ExitButtonEscAndCloseBoxOnlyHide)
{
    // The "退出" button.
    SendMessageA(GetDlgItem(panel, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(BecomesHidden());
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(TrayIconExists(panel));

    // The private show message brings it back.
    EXPECT_EQ(0, SendMessageA(panel, 1504, 0, 0));
    ASSERT_TRUE(BecomesVisible());

    // Esc, typed by the user into the focused panel.
    SetForegroundWindow(panel);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == panel; }, 2000));
    Input::Key(VK_ESCAPE);
    ASSERT_TRUE(BecomesHidden());

    // A tray double-click shows it.
    SendMessageA(panel, 1500, 200, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(BecomesVisible());

    // The close box.
    PostMessageA(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(BecomesHidden());
    EXPECT_TRUE(program.Running());
}

TEST_F(PanelTest, OtherTrayMouseMessagesChangeNothing)
{
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_RBUTTONDBLCLK})
        EXPECT_EQ(0, SendMessageA(panel, 1500, 200, mouse));
    PumpMessages(300);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(0, CountProcessWindows(program.Pid(), "#32768", true));
    EXPECT_EQ(nullptr, program.FindWindowOf("设置"));
    EXPECT_EQ(nullptr, program.FindWindowOf("关于"));
}

TEST_F(PanelTest, TrayRightButtonOpensTheMenuAndDismissingItChoosesNothing)
{
    PostMessageA(panel, 1500, 200, WM_RBUTTONDOWN);
    ASSERT_TRUE(Input::WaitForMenuKeyboard(panel));
    Input::Key(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return CountProcessWindows(program.Pid(), "#32768", true) == 0; }, 3000));
    PumpMessages(300);
    EXPECT_EQ(nullptr, program.FindWindowOf("设置"));
    EXPECT_EQ(nullptr, program.FindWindowOf("关于"));
    EXPECT_TRUE(program.Running());
}

// With the flag and the tray icon up, as every start brings them.
TEST_F(PanelTest, TrayMenuQuitEndsWith1501)
{
    ASSERT_TRUE(TrayIconExists(panel));
    // Hidden first: the menu works the same way then.
    PostMessageA(panel, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(BecomesHidden());
    PostMessageA(panel, 1500, 200, WM_RBUTTONDOWN);
    ASSERT_TRUE(Input::ChooseFromMenu(panel, 3));
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(2000, &code));
    EXPECT_EQ(1501u, code);
}

class ShellRestartTest : public PanelTest, public testing::WithParamInterface<bool>
{
};

// A restarting shell loses every icon, then broadcasts "TaskbarCreated".
TEST_P(ShellRestartTest, TheTrayIconComesBack)
{
    const bool shown = GetParam();
    if (!shown) {
        PostMessageA(panel, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(BecomesHidden());
    }
    ASSERT_TRUE(DeleteTrayIcon(panel));
    ASSERT_FALSE(TrayIconExists(panel));
    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconExists(panel); }, 3000));
    EXPECT_EQ(shown, Visible());
}

INSTANTIATE_TEST_SUITE_P(Panel, ShellRestartTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "Shown" : "Hidden");
                         });

}  // namespace
