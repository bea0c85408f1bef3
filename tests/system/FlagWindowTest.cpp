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

// The screen at a smaller size listed by the display while the object
// lives, as a projector, a dock or a remote session's reconnection gives
// it; then the mode it had, set by name: a reset to the stored mode did not
// always come back, and left the next tests a smaller screen.
class SmallerScreen
{
public:
    explicit SmallerScreen(int maxWidth)
    {
        m_had.dmSize = sizeof m_had;
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &m_had);
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
            if (static_cast<int>(mode.dmPelsWidth) <= maxWidth && mode.dmPelsWidth > m_mode.dmPelsWidth)
                m_mode = mode;
        changed = m_mode.dmPelsWidth > 0 &&
                  ChangeDisplaySettingsExA(nullptr, &m_mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
    }
    ~SmallerScreen()
    {
        ChangeDisplaySettingsExA(nullptr, &m_had, nullptr, 0, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return GetSystemMetrics(SM_CXSCREEN) == static_cast<int>(m_had.dmPelsWidth); },
                              3000))
            << "the screen did not come back to " << m_had.dmPelsWidth << " wide";
    }

    int Width() const { return static_cast<int>(m_mode.dmPelsWidth); }
    bool changed;

private:
    DEVMODEA m_had = {};
    DEVMODEA m_mode = {};
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

// A flag in its corner follows the corner when the screen changes size; one
// the user dragged elsewhere stays while the screen shows all of it, and
// comes back to the corner when it would be cut.
TEST_F(FlagWindowTest, KeepsItsCornerWhenTheScreenChangesAndADraggedOneStaysWhileWhole)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    RECT rect;
    GetWindowRect(flag, &rect);
    const int size = rect.right - rect.left;
    const auto reaches = [&](int left, int top) {
        return PumpUntil(
            [&] {
                GetWindowRect(flag, &rect);
                return rect.left == left && rect.top == top;
            },
            3000);
    };
    int smallWidth = 0;
    {
        SmallerScreen smaller(width - 400);
        ASSERT_TRUE(smaller.changed) << "no smaller display mode";
        smallWidth = smaller.Width();
        ASSERT_EQ(smallWidth, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_TRUE(reaches(smallWidth - size - 5, 5)) << "at " << rect.left << "," << rect.top;
    }
    EXPECT_TRUE(reaches(width - size - 5, 5)) << "back at full size: at " << rect.left << "," << rect.top;

    // Dragged where the smaller screen still shows all of it, then where it
    // cuts it.
    for (int left : {smallWidth - size - 100, smallWidth - size / 2}) {
        const POINT from = Input::CentreOf(flag);
        GetWindowRect(flag, &rect);
        Input::LeftDrag(from, {from.x + left - rect.left, from.y + 300 - rect.top});
        ASSERT_TRUE(reaches(left, 300));
        SmallerScreen smaller(width - 400);
        ASSERT_TRUE(smaller.changed);
        const bool whole = left + size <= smaller.Width();
        PumpMessages(500);
        EXPECT_TRUE(whole ? reaches(left, 300) : reaches(smaller.Width() - size - 5, 5))
            << (whole ? "moved although whole" : "left cut off") << ": at " << rect.left << "," << rect.top;
    }
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
