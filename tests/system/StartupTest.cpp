#include <gtest/gtest.h>

#include "StartedProgram.h"
#include "support/Pump.h"
#include "support/UserRegistryValue.h"
#include "panel/PanelMessages.h"

namespace {

TEST(Startup, SecondInstanceExitsWithOneAndShowsNothing)
{
    NetChangeProcess first;
    ASSERT_TRUE(first.Start());
    ASSERT_NE(nullptr, first.WaitForPanel(kStartMs));

    NetChangeProcess second("second");
    ASSERT_TRUE(second.Start());
    DWORD code = 0;
    ASSERT_TRUE(second.WaitForExit(kStartMs, &code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ(0, CountProcessWindows(second.Pid(), nullptr, false));
    EXPECT_TRUE(first.Running());
}

TEST(Startup, HeldMutexMakesTheProgramExitWithOne)
{
    HANDLE held = CreateMutexA(nullptr, FALSE, "外网");
    ASSERT_NE(nullptr, held);
    NetChangeProcess program;
    ASSERT_TRUE(program.Start());
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(kStartMs, &code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ(0, CountProcessWindows(program.Pid(), nullptr, false));
    CloseHandle(held);
}

}  // namespace

namespace {

std::string MessageBoxText(HWND box)
{
    // The message text is the box's static control with id 0xFFFF.
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

TEST(Startup, DetectionFlagOnShowsTheDriveBoxBeforeThePanel)
{
    // D: is an optical drive with a readable "disc" in the test prefix.
    NetChangeProcess program("cdrom", "[CHECKFLAG]\r\nflag=1\r\n");
    ASSERT_TRUE(program.Start());
    HWND box = program.WaitForWindow("提示", kStartMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("光盘已经插入，文件系统类别为CDFS\n", MessageBoxText(box));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    EXPECT_EQ(nullptr, program.FindWindowOf(kPanelTitle));
    PumpMessages(300);
    EXPECT_EQ(nullptr, program.FindWindowOf(kPanelTitle)) << "the panel came before the box was closed";

    SendMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(nullptr, program.WaitForPanel(kStartMs));
    EXPECT_EQ(nullptr, program.FindWindowOf("提示"));
}

TEST(Startup, DetectionFlagOffOrMissingShowsNoBox)
{
    for (const char* ini : {"[CHECKFLAG]\r\nflag=0\r\n", static_cast<const char*>(nullptr)}) {
        NetChangeProcess program("nocheck", ini);
        ASSERT_TRUE(program.Start());
        ASSERT_NE(nullptr, program.WaitForPanel(kStartMs));
        EXPECT_EQ(nullptr, program.FindWindowOf("提示"));
        program.Kill();
    }
}

// The panel is visible once its initialisation has run.
bool PanelUp(const NetChangeProcess& program)
{
    HWND panel = program.WaitForPanel(kStartMs);
    return panel != nullptr && PumpUntil([&] { return IsWindowVisible(panel) != FALSE; }, kStartMs);
}

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value in the program's own registry view, or in `view`.
std::string ReadRunValue(DWORD* type = nullptr, DWORD* size = nullptr, REGSAM view = NetChangeProcess::RegistryView())
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "<no key>";
    char data[1024] = {};
    DWORD dataSize = sizeof data;
    DWORD dataType = 0;
    const LSTATUS status =
        RegQueryValueExA(key, "VELMORNETCHANGE", nullptr, &dataType, reinterpret_cast<BYTE*>(data), &dataSize);
    RegCloseKey(key);
    if (type != nullptr)
        *type = dataType;
    if (size != nullptr)
        *size = dataSize;
    return status == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

void DeleteRunValue()
{
    for (REGSAM view : kViews) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "VELMORNETCHANGE");
            RegCloseKey(key);
        }
    }
}

// Wine set to Windows XP for the program: the manifest's DPI and code-page
// settings, which XP does not know, must not keep it from starting.
TEST(Startup, StartsOnWindowsXp)
{
    UserRegistryValue version("Software\\Wine\\AppDefaults\\NetChange.exe", "Version");
    version.SetString("winxp");
    NetChangeProcess program("xp");
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(PanelUp(program));
    EXPECT_NE(nullptr, program.WaitForFlag(kStartMs));
}

TEST(Startup, RegistersItsOwnPathToStartWithWindowsAtEveryStart)
{
    DeleteRunValue();
    ASSERT_EQ("<no value>", ReadRunValue());
    {
        NetChangeProcess program("Program Files 维尔摩 网络");
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(PanelUp(program));
        DWORD type = 0;
        DWORD size = 0;
        // Quoted: the folder's spaces must not split the command.
        EXPECT_EQ("\"" + program.ExePath() + "\"", ReadRunValue(&type, &size));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ(program.ExePath().size() + 3, size);
        const REGSAM otherView = kViews[0] == NetChangeProcess::RegistryView() ? kViews[1] : kViews[0];
        EXPECT_EQ("<no value>", ReadRunValue(nullptr, nullptr, otherView)) << "written to the wrong registry view";
    }
    // Deleted by the user, moved elsewhere: the next start writes it again.
    DeleteRunValue();
    NetChangeProcess moved("moved");
    ASSERT_TRUE(moved.Start());
    ASSERT_TRUE(PanelUp(moved));
    EXPECT_EQ("\"" + moved.ExePath() + "\"", ReadRunValue());
}

}  // namespace
