#include <gtest/gtest.h>

#include "Input.h"
#include "StartedProgram.h"
#include "support/Pump.h"

namespace {

class FlagWindowTest : public StartedProgram
{
protected:
    // Opens the flag's menu and picks item `position` (1 = top) with the keyboard.
    void ChooseFromFlagMenu(int position)
    {
        // A second right-click within the double-click time would be a
        // right double-click, which opens nothing.
        PumpMessages(GetDoubleClickTime() + 100);
        Input::RightClick(Input::CentreOf(flag));
        ASSERT_TRUE(Input::ChooseFromMenu(flag, position)) << "the flag's menu did not open";
    }
};

INT_PTR CALLBACK PlainProcedure(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST_F(FlagWindowTest, AppearsTopmostInTheTopRightCornerWithItsTemplateSize)
{
    // The template's size in pixels: the same template (this test program
    // carries the program's resources) made by the dialog manager here.
    HWND sample = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(202), nullptr, &PlainProcedure, 0);
    ASSERT_NE(nullptr, sample);
    RECT expected;
    GetWindowRect(sample, &expected);
    DestroyWindow(sample);

    RECT rect;
    GetWindowRect(flag, &rect);
    const LONG width = rect.right - rect.left;
    EXPECT_EQ(expected.right - expected.left, width);
    EXPECT_EQ(expected.bottom - expected.top, rect.bottom - rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) - width - 5, rect.left);
    EXPECT_EQ(5, rect.top);
    EXPECT_TRUE(GetWindowLongPtrA(flag, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrA(flag, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0, GetWindowTextLengthA(flag));
}

TEST_F(FlagWindowTest, LeftDragMovesItAndItStaysTopmost)
{
    RECT before;
    GetWindowRect(flag, &before);
    const POINT from = Input::CentreOf(flag);
    const POINT to = {from.x - 300, from.y + 200};
    Input::LeftDrag(from, to);
    RECT after;
    ASSERT_TRUE(PumpUntil(
        [&] {
            GetWindowRect(flag, &after);
            return after.left != before.left;
        },
        3000));
    EXPECT_EQ(before.left - 300, after.left);
    EXPECT_EQ(before.top + 200, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_TRUE(GetWindowLongPtrA(flag, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FlagWindowTest, DoubleClickShowsTheHiddenPanel)
{
    PostMessageA(panel, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(panel); }, 3000));
    Input::LeftDoubleClick(Input::CentreOf(flag));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(panel) != FALSE; }, 3000));
}

TEST_F(FlagWindowTest, MenuItemsInOrderReachThePanel)
{
    // 设置: the settings dialog opens; while it is open the flag does not react.
    ChooseFromFlagMenu(1);
    HWND settings = program.WaitForWindow("设置", 3000);
    ASSERT_NE(nullptr, settings);
    PumpMessages(GetDoubleClickTime() + 100);
    Input::RightClick(Input::CentreOf(flag));
    PumpMessages(300);
    EXPECT_EQ(0, CountProcessWindows(program.Pid(), "#32768", true)) << "the flag reacted while its dialog was open";
    SendMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(settings); }, 3000));
    // The click it got while waiting is not acted on afterwards either.
    PumpMessages(500);
    EXPECT_EQ(0, CountProcessWindows(program.Pid(), "#32768", true)) << "a menu popped up late";

    // 关于: the About box; the flag reacts again once the settings dialog closed.
    ChooseFromFlagMenu(2);
    HWND about = program.WaitForWindow("关于", 3000);
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(nullptr, program.FindWindowOf("设置"));
    SendMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(about); }, 3000));

    // 退出: the program ends, with the code settled for a quit from the flag.
    ChooseFromFlagMenu(3);
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(2000, &code));
    EXPECT_EQ(1505u, code);
    EXPECT_FALSE(TrayIconExists(panel));
}

}  // namespace
