#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "support/NetChangeProcess.h"
#include "support/Pump.h"

namespace {

constexpr DWORD kStartMs = 15000;
constexpr char kSettingsTitle[] = "设置";
constexpr char kAboutTitle[] = "关于";

bool Answers(HWND window)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

TEST(Robustness, TwentySimultaneousStartsLeaveExactlyOneWorkingInstance)
{
    std::vector<std::unique_ptr<NetChangeProcess>> programs;
    for (int i = 0; i < 20; ++i)
        programs.push_back(std::make_unique<NetChangeProcess>("crowd"));
    for (auto& program : programs)
        ASSERT_TRUE(program->Start());

    auto ended = [&] {
        int n = 0;
        for (auto& program : programs)
            n += program->Running() ? 0 : 1;
        return n;
    };
    PumpUntil([&] { return ended() >= 19; }, 30000);
    // A moment more: a twentieth that ended late would show here.
    PumpMessages(500);
    NetChangeProcess* survivor = nullptr;
    int refused = 0;
    for (auto& program : programs) {
        DWORD code = 0;
        if (program->WaitForExit(0, &code)) {
            EXPECT_EQ(1u, code);
            ++refused;
        } else {
            EXPECT_EQ(nullptr, survivor) << "two instances run at once";
            survivor = program.get();
        }
    }
    EXPECT_EQ(19, refused);
    ASSERT_NE(nullptr, survivor);
    HWND panel = survivor->WaitForPanel(kStartMs);
    ASSERT_NE(nullptr, panel);
    PostMessageA(panel, WM_COMMAND, 1501, 0);
    DWORD code = 0;
    ASSERT_TRUE(survivor->WaitForExit(5000, &code));
    EXPECT_EQ(1501u, code);
}

// Two thousand random commands and private messages, the two that end the
// program left out: it keeps answering and never opens a second dialog of
// a kind.
TEST(Robustness, RandomCommandsAndPrivateMessagesFromAnotherProcess)
{
    NetChangeProcess program("random");
    ASSERT_TRUE(program.Start());
    HWND panel = program.WaitForPanel(kStartMs);
    ASSERT_NE(nullptr, panel);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(panel) != FALSE; }, kStartMs));

    std::mt19937 random(20261208);
    std::uniform_int_distribution<unsigned> any;
    const UINT privateMessages[] = {1500, 1502, 1503, 1504, 1506, 1507};
    const LPARAM trayMouse[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP};
    int maxSettings = 0;
    int maxAbout = 0;
    for (int i = 0; i < 2000; ++i) {
        UINT message;
        WPARAM wParam = any(random);
        LPARAM lParam = any(random);
        switch (any(random) % 4) {
        case 0: {  // a command, any id but the tray's "退出"
            message = WM_COMMAND;
            WORD id = static_cast<WORD>(any(random));
            if (id == 1501)
                id = 4242;
            wParam = MAKEWPARAM(id, any(random) & 0xFFFF);
            break;
        }
        case 1: {  // one of the panel's own commands, with any notification code
            message = WM_COMMAND;
            const WORD ids[] = {IDOK, IDCANCEL, 57664, 1502, 1503};
            wParam = MAKEWPARAM(ids[any(random) % 5], any(random) & 0xFFFF);
            break;
        }
        case 2:  // the tray's callback with a mouse message, as the shell sends it
            message = 1500;
            lParam = trayMouse[any(random) % 5];
            break;
        default:  // a private message, "quit" left out, with random arguments
            message = privateMessages[any(random) % 6];
            break;
        }
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(panel, message, wParam, lParam, SMTO_NORMAL, 20, &ignored);
        if (i % 50 == 0) {
            maxSettings = std::max(maxSettings, CountProcessWindowsTitled(program.Pid(), kSettingsTitle));
            maxAbout = std::max(maxAbout, CountProcessWindowsTitled(program.Pid(), kAboutTitle));
        }
    }
    PumpMessages(300);
    maxSettings = std::max(maxSettings, CountProcessWindowsTitled(program.Pid(), kSettingsTitle));
    maxAbout = std::max(maxAbout, CountProcessWindowsTitled(program.Pid(), kAboutTitle));
    EXPECT_LE(maxSettings, 1);
    EXPECT_LE(maxAbout, 1);
    ASSERT_TRUE(program.Running());
    EXPECT_TRUE(Answers(panel));

    // Still in working order: the tray's "退出" ends it with its code.
    PostMessageA(panel, WM_COMMAND, 1501, 0);
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(1501u, code);
}

struct BadFile
{
    const char* name;
    std::string bytes;
};

// Whatever the file holds, start-up follows the value the platform reads
// from it: a nonzero value brings the drive box, zero does not.
TEST(Robustness, BadSettingsFilesStartAsTheReadValueSays)
{
    const BadFile files[] = {
        {"binary", std::string("\x00\xFF\x13[CHECK\x00FLAG]\xFE\r\nflag=\x01\x02", 24)},
        {"huge", "[CHECKFLAG]\r\nflag=99999999999999999999\r\n"},
        {"negative", "[CHECKFLAG]\r\nflag=-7\r\n"},
        {"empty", "[CHECKFLAG]\r\nflag=\r\n"},
        {"words", "[CHECKFLAG]\r\nflag=yes\r\n"},
    };
    for (const BadFile& file : files) {
        SCOPED_TRACE(file.name);
        NetChangeProcess program("badini");
        ASSERT_TRUE(TempFolder::WriteFile(program.IniPath(), file.bytes));
        const UINT read = GetPrivateProfileIntA("CHECKFLAG", "flag", 0, program.IniPath().c_str());
        ASSERT_TRUE(program.Start());
        if (read != 0) {
            HWND box = program.WaitForWindow("提示", kStartMs);
            ASSERT_NE(nullptr, box) << "value " << read << " should run the drive check";
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        }
        HWND panel = program.WaitForPanel(kStartMs);
        ASSERT_NE(nullptr, panel);
        if (read == 0) {
            EXPECT_EQ(nullptr, program.FindWindowOf("提示"));
        }
        EXPECT_TRUE(program.Running());
        program.Kill();
    }
}

// Confirming the settings dialog when the file cannot be written says so,
// keeps the dialog open with the choice, and leaves the old content and
// the program running.
void ConfirmOtherChoice(NetChangeProcess& program)
{
    HWND panel = program.WaitForPanel(kStartMs);
    ASSERT_NE(nullptr, panel);
    PostMessageA(panel, WM_COMMAND, IDOK, 0);
    HWND dialog = program.WaitForWindow(kSettingsTitle, 5000);
    ASSERT_NE(nullptr, dialog);
    const bool checkOn = SendMessageA(GetDlgItem(dialog, 1000), BM_GETCHECK, 0, 0) == BST_CHECKED;
    HWND choice = GetDlgItem(dialog, checkOn ? 1001 : 1000);
    SendMessageA(choice, BM_CLICK, 0, 0);
    // Posted: the click's answer waits for the box.
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    HWND box = program.WaitForWindow("提示", 3000);
    ASSERT_NE(nullptr, box) << "the lost choice looked stored";
    EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 3000));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(BST_CHECKED, SendMessageA(choice, BM_GETCHECK, 0, 0));
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 3000));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(Answers(panel));
}

TEST(Robustness, UnwritableSettingsFileKeepsItsContent)
{
    NetChangeProcess program("readonly");
    const std::string old = "[CHECKFLAG]\r\nflag=1\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(program.IniPath(), old));
    ASSERT_TRUE(SetFileAttributesA(program.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine runs as root here, and root writes read-only files; holding the
    // file open for reading only, without sharing writes, makes the write
    // fail for sure.
    HANDLE held = CreateFileA(program.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(program.Start());
    HWND box = program.WaitForWindow("提示", kStartMs);
    ASSERT_NE(nullptr, box);
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    ConfirmOtherChoice(program);
    CloseHandle(held);
    std::string now;
    ASSERT_TRUE(TempFolder::ReadFile(program.IniPath(), now));
    EXPECT_EQ(old, now);
}

TEST(Robustness, AFolderNamedLikeTheSettingsFileReadsAsZero)
{
    NetChangeProcess program("dirini");
    ASSERT_TRUE(CreateDirectoryA(program.IniPath().c_str(), nullptr));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(nullptr, program.WaitForPanel(kStartMs));
    EXPECT_EQ(nullptr, program.FindWindowOf("提示"));
    ConfirmOtherChoice(program);
    EXPECT_TRUE(GetFileAttributesA(program.IniPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
