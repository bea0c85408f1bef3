// The Windows Installer package, run silently by Wine's msiexec: installs
// with and without CHECKCDROM, a repair, an upgrade over a running program,
// the refusals, and an uninstall by product code.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <msi.h>

#include <string>

#include "InstallSupport.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/Text.h"

namespace {

const char kProductName[] = "VELMOR 隔离卡参数设置";

struct Package
{
    const char* path;
    const char* productCode;
    // The three-field version Windows Installer keeps.
    const char* version;
};
const Package kShipped = {NETCHANGE_MSI, NETCHANGE_MSI_PRODUCT_CODE, NETCHANGE_MSI_VERSION};
// Built from the same source as the next version, for the tests only.
const Package kNext = {NETCHANGE_TEST_MSI, NETCHANGE_TEST_MSI_PRODUCT_CODE, NETCHANGE_TEST_MSI_VERSION};

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Wine 8 resolves ProgramMenuFolder for the installing user even in a
// per-machine installation; Windows takes the common Start menu.
std::string ShortcutFolder()
{
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return ShellFolder(wine ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS) + "\\VELMOR";
}

std::string Shortcut()
{
    return ShortcutFolder() + "\\VELMOR 隔离卡参数设置.lnk";
}

// The text of a message box: its static control has this id.
constexpr int kMessageBoxText = 0xFFFF;

// A visible message box of a process (not its progress dialog).
HWND MessageBoxOf(DWORD pid)
{
    struct Search
    {
        DWORD pid;
        HWND found;
    } search = {pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner != s->pid || !IsWindowVisible(window) || lstrcmpA(name, "#32770") != 0 ||
                GetDlgItem(window, kMessageBoxText) == nullptr)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsInstalled(const Package& package)
{
    return MsiQueryProductStateA(package.productCode) == INSTALLSTATE_DEFAULT;
}

// What Programs and Features shows of an installed product.
std::string ProductInfo(const Package& package, const char* property)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    return MsiGetProductInfoA(package.productCode, property, value, &size) == ERROR_SUCCESS ? value : "";
}

// Every case starts and ends without the product: neither version
// installed, and nothing left of a step that failed.
class MsiPackageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTraces();
        ASSERT_TRUE(Exists(kShipped.path)) << kShipped.path;
        ASSERT_TRUE(Exists(kNext.path)) << kNext.path;
    }

    void TearDown() override
    {
        m_program.End();
        RemoveTraces();
    }

    void RemoveTraces()
    {
        for (const Package* package : {&kShipped, &kNext})
            if (IsInstalled(*package))
                Uninstall(*package);
        for (const char* name : {"NetChange.exe", "CHECKCDROM.ini", "notes.txt"})
            DeleteFileA(InstalledFile(name).c_str());
        RemoveDirectoryA(m_installDir.c_str());
        DeleteRunValue();
        DeleteFileA(Shortcut().c_str());
        RemoveDirectoryA(ShortcutFolder().c_str());
    }

    // msiexec's exit code: 0, or 1603 when the installation failed or was refused.
    DWORD Install(const Package& package, const std::string& properties = "")
    {
        return RunToEnd("msiexec /i \"" + std::string(package.path) + "\" /qn /l*v \"" + m_log + "\" " + properties);
    }

    // With the basic user interface (/qb): the message box of a refusal is
    // read and closed, as an administrator trying the package would.
    DWORD InstallShowingRefusal(const Package& package, const std::string& properties, std::string& message)
    {
        message.clear();
        const std::string commandLine = "msiexec /i \"" + std::string(package.path) + "\" /qb " + properties;
        return RunToEnd(commandLine, kInstallerMs, [&](DWORD pid) {
            if (HWND box = MessageBoxOf(pid)) {
                char text[512] = {};
                GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
                message = text;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        });
    }

    DWORD Uninstall(const Package& package)
    {
        return RunToEnd(std::string("msiexec /x ") + package.productCode + " /qn");
    }

    std::string InstalledFile(const std::string& name) const { return m_installDir + "\\" + name; }

    TempFolder m_folder{"msi"};
    const std::string m_log = m_folder.File("msiexec.log");
    const std::string m_installDir = ShellFolder(CSIDL_PROGRAM_FILESX86) + "\\VELMOR";
    const std::string m_exe = InstalledFile("NetChange.exe");
    const std::string m_settings = InstalledFile("CHECKCDROM.ini");
    InstalledProgram m_program;
};

TEST_F(MsiPackageTest, SilentInstallPutsEverythingInPlaceAndUninstallByProductCodeRemovesIt)
{
    ASSERT_EQ(0u, Install(kShipped));

    std::string installed, built;
    ASSERT_TRUE(TempFolder::ReadFile(m_exe, installed));
    ASSERT_TRUE(TempFolder::ReadFile(NETCHANGE_SHIPPED_EXE, built));
    EXPECT_TRUE(installed == built) << "the installed NetChange.exe differs from the i686 build";
    EXPECT_EQ("[CHECKFLAG]\r\nflag=0\r\n", FileText(m_settings));
    // The same data the program writes for itself: its path, quoted.
    std::string run;
    ASSERT_TRUE(ReadString(kRunKey, kRunValue, run));
    EXPECT_EQ("\"" + m_exe + "\"", run);
    EXPECT_TRUE(Exists(Shortcut())) << Utf8From936(Shortcut());

    EXPECT_EQ(kProductName, ProductInfo(kShipped, INSTALLPROPERTY_INSTALLEDPRODUCTNAME));
    EXPECT_EQ("VELMOR", ProductInfo(kShipped, INSTALLPROPERTY_PUBLISHER));
    EXPECT_EQ(kShipped.version, ProductInfo(kShipped, INSTALLPROPERTY_VERSIONSTRING));
    EXPECT_EQ(m_installDir + "\\", ProductInfo(kShipped, INSTALLPROPERTY_INSTALLLOCATION));
    const std::string icon = ProductInfo(kShipped, INSTALLPROPERTY_PRODUCTICON);
    EXPECT_TRUE(!icon.empty() && Exists(icon)) << icon;

    ASSERT_TRUE(TempFolder::WriteFile(InstalledFile("notes.txt"), "mine"));
    ASSERT_TRUE(m_program.Start(m_exe));
    ASSERT_EQ(0u, Uninstall(kShipped));
    EXPECT_EQ(static_cast<DWORD>(kTrayQuitExitCode), m_program.ExitCode());
    EXPECT_FALSE(IsInstalled(kShipped));
    EXPECT_FALSE(Exists(m_exe));
    EXPECT_FALSE(Exists(m_settings));
    EXPECT_EQ("mine", FileText(InstalledFile("notes.txt")));
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, run));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(Exists(ShortcutFolder()));
}

TEST_F(MsiPackageTest, CheckCdromDecidesForANewSettingsFileOnlyAndARepairKeepsTheUsersOne)
{
    ASSERT_EQ(0u, Install(kShipped, "CHECKCDROM=1"));
    EXPECT_EQ("[CHECKFLAG]\r\nflag=1\r\n", FileText(m_settings));

    const std::string chosen = "[CHECKFLAG]\r\nflag=0\r\n[NOTES]\r\nkept=yes\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(m_settings, chosen));
    ASSERT_TRUE(DeleteFileA(m_exe.c_str()));
    // Every file again, whatever its version or date.
    ASSERT_EQ(0u, Install(kShipped, "REINSTALL=ALL REINSTALLMODE=amus CHECKCDROM=1"));
    EXPECT_TRUE(Exists(m_exe));
    EXPECT_EQ(chosen, FileText(m_settings));
    EXPECT_EQ(m_installDir + "\\", ProductInfo(kShipped, INSTALLPROPERTY_INSTALLLOCATION));
}

TEST_F(MsiPackageTest, UpgradeEndsTheRunningProgramLikeItsTrayMenuAndKeepsTheSettingsFile)
{
    ASSERT_EQ(0u, Install(kShipped));
    // Unlike the default, yet with the drive check off, so no notice comes
    // before the panel; CHECKCDROM=1 below must not change it either.
    const std::string chosen = "[CHECKFLAG]\r\nflag=0\r\n[NOTES]\r\nkept=yes\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(m_settings, chosen));
    ASSERT_TRUE(m_program.Start(m_exe));

    ASSERT_EQ(0u, Install(kNext, "CHECKCDROM=1"));
    EXPECT_EQ(static_cast<DWORD>(kTrayQuitExitCode), m_program.ExitCode());
    EXPECT_TRUE(IsInstalled(kNext));
    EXPECT_FALSE(IsInstalled(kShipped));
    EXPECT_EQ(kNext.version, ProductInfo(kNext, INSTALLPROPERTY_VERSIONSTRING));
    EXPECT_EQ(chosen, FileText(m_settings));
    EXPECT_TRUE(Exists(m_exe));
    std::string run;
    EXPECT_TRUE(ReadString(kRunKey, kRunValue, run) && run == "\"" + m_exe + "\"") << run;
    EXPECT_TRUE(Exists(Shortcut()));
}

// Both refusals leave what is installed as it was, the running program
// running, and tell why in a message box of the basic user interface.
TEST_F(MsiPackageTest, RefusesADowngradeAndAnUnknownCheckCdromWithAMessage)
{
    std::string message;
    EXPECT_EQ(DWORD(ERROR_INSTALL_FAILURE), InstallShowingRefusal(kShipped, "CHECKCDROM=yes", message));
    EXPECT_EQ(0u, message.find("CHECKCDROM 只能是 0")) << Utf8From936(message);
    EXPECT_FALSE(IsInstalled(kShipped));
    EXPECT_FALSE(Exists(m_exe));

    ASSERT_EQ(0u, Install(kNext));
    ASSERT_TRUE(m_program.Start(m_exe));
    EXPECT_EQ(DWORD(ERROR_INSTALL_FAILURE), InstallShowingRefusal(kShipped, "", message));
    EXPECT_EQ(0u, message.find("已安装更新版本的 VELMOR 隔离卡参数设置")) << Utf8From936(message);
    EXPECT_EQ(~0u, m_program.ExitCode()) << "the refused package ended the running program";
    EXPECT_TRUE(IsInstalled(kNext));
    EXPECT_FALSE(IsInstalled(kShipped));
    EXPECT_EQ(kNext.version, ProductInfo(kNext, INSTALLPROPERTY_VERSIONSTRING));
}

// A window that carries the panel's title but ignores the quit command: the
// silent installation gives up rather than replace files of a program still
// running.
TEST_F(MsiPackageTest, SilentInstallGivesUpWhenTheRunningProgramDoesNotEnd)
{
    HWND stubborn = CreateWindowExA(0, "#32770", kPanelTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, stubborn);
    const DWORD code = Install(kShipped);
    DestroyWindow(stubborn);
    EXPECT_EQ(DWORD(ERROR_INSTALL_FAILURE), code);
    EXPECT_FALSE(IsInstalled(kShipped));
    EXPECT_FALSE(Exists(m_exe));
    std::string run;
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, run));
}

}  // namespace
