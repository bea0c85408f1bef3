#include <gtest/gtest.h>

#include "StartedProgram.h"
#include "support/Pump.h"

namespace {

struct Request
{
    const char* name;
    UINT message;
    WPARAM wParam;
    const char* title;
};

// Named in test listings (and so in CTest's test names) instead of dumped as bytes.
void PrintTo(const Request& request, std::ostream* out)
{
    *out << request.name;
}

// Every way a secondary dialog is asked for: the panel's buttons (commands 1
// and 57664), the tray menu (1503, 1502) and the flag window (1506, 1507).
const Request kRequests[] = {
    {"SettingsButton", WM_COMMAND, IDOK, "设置"},
    {"TraySettings", WM_COMMAND, 1503, "设置"},
    {"FlagSettings", 1506, 0, "设置"},
    {"AboutButton", WM_COMMAND, 57664, "关于"},
    {"TrayAbout", WM_COMMAND, 1502, "关于"},
    {"FlagAbout", 1507, 0, "关于"},
};

class SecondaryDialogTest : public StartedProgram, public testing::WithParamInterface<Request>
{
};

TEST_P(SecondaryDialogTest, OpensOnceAndASecondRequestOpensNoSecondWindow)
{
    const Request& request = GetParam();
    // The dialog is owned by the main thread's active window: make that the
    // panel. The flag window takes the activation when it shows itself, on
    // its own thread and, on a busy machine, after the panel: the set-up
    // waited for it.
    SetForegroundWindow(panel);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == panel; }, 3000));
    // Posted: the panel answers only when the dialog has closed.
    PostMessageA(panel, request.message, request.wParam, 0);
    HWND dialog = program.WaitForWindow(request.title, 3000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(panel, GetWindow(dialog, GW_OWNER)) << "owned by the active panel";

    for (const Request& again : kRequests)
        if (std::string(again.title) == request.title)
            PostMessageA(panel, again.message, again.wParam, 0);
    PumpMessages(500);
    EXPECT_EQ(1, CountProcessWindowsTitled(program.Pid(), request.title));

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 3000));
    // Nothing queued behind it pops up late.
    PumpMessages(700);
    EXPECT_EQ(0, CountProcessWindowsTitled(program.Pid(), request.title));
    EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(AllRequests, SecondaryDialogTest, testing::ValuesIn(kRequests),
                         [](const testing::TestParamInfo<Request>& param) { return std::string(param.param.name); });

TEST(SecondaryDialogs, SettingsConfirmedInTheProgramAreReadAtTheNextStart)
{
    NetChangeProcess program;
    ASSERT_TRUE(program.Start());
    HWND panel = program.WaitForPanel(kStartMs);
    ASSERT_NE(nullptr, panel);
    PostMessageA(panel, WM_COMMAND, 1503, 0);
    HWND dialog = program.WaitForWindow("设置", 3000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dialog, 1001), BM_GETCHECK, 0, 0));
    SendMessageA(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 3000));
    EXPECT_EQ(1u, GetPrivateProfileIntA("CHECKFLAG", "flag", 7, program.IniPath().c_str()));
}

}  // namespace
