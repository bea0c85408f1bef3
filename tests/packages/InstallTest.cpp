// The shipped 32-bit setup installs, upgrades and uninstalls here, silently
// (/S), as on 64-bit Windows: into Program Files (x86), with its registry
// values in the 32-bit view.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "InstallSupport.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/Text.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VELMORNETCHANGE";
const char kDefaultSettings[] = "[CHECKFLAG]\r\nflag=0\r\n";
// NSIS ends with 2 when the installation was aborted.
constexpr DWORD kSetupAborted = 2;

std::string ShortcutFolder()
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\VELMOR";
}

std::string Shortcut()
{
    return ShortcutFolder() + "\\VELMOR 隔离卡参数设置.lnk";
}

// The rights an access list grants a well-known group.
DWORD RightsOf(WELL_KNOWN_SID_TYPE group, PACL dacl)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    CreateWellKnownSid(group, nullptr, sid, &sidSize);
    DWORD rights = 0;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)) || header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        if (EqualSid(&ace->SidStart, sid))
            rights |= ace->Mask;
    }
    return rights;
}

// The security descriptor the setup gives the settings file, as its script
// spells it. Wine keeps no access lists on files (it reads back one made
// from the Unix mode), so what the descriptor means is checked here instead
// of on the installed file.
std::string SettingsFileDescriptor()
{
    std::string script;
    TempFolder::ReadFile(NETCHANGE_SETUP_SCRIPT, script);
    const std::string call = "ConvertStringSecurityDescriptorToSecurityDescriptorW(w '";
    const size_t start = script.find(call);
    if (start == std::string::npos)
        return {};
    const size_t end = script.find('\'', start + call.size());
    return script.substr(start + call.size(), end - start - call.size());
}

// Every case starts and ends without an installation: no files, no registry
// entries, no shortcut.
class InstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTraces();
        ASSERT_TRUE(Exists(m_setup)) << m_setup;
    }

    void TearDown() override
    {
        m_program.End();
        RemoveTraces();
    }

    void RemoveTraces() const
    {
        DeleteRunValue();
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0);
        DeleteFileA(Shortcut().c_str());
        RemoveDirectoryA(ShortcutFolder().c_str());
        for (const char* file : {"NetChange.exe", "CHECKCDROM.ini", "uninst.exe", "notes.txt"})
            DeleteFileA(Installed(file).c_str());
        RemoveDirectoryA(m_installDir.c_str());
    }

    DWORD Install() { return RunToEnd("\"" + m_setup + "\" /S"); }

    std::string Installed(const std::string& name) const { return m_installDir + "\\" + name; }

    // The setup's default folder, as a 32-bit program sees it on 64-bit Windows.
    const std::string m_installDir = "C:\\Program Files (x86)\\VELMOR";
    const std::string m_setup = NETCHANGE_SHIPPED_SETUP;
    InstalledProgram m_program;
};

TEST_F(InstallTest, FreshInstallPutsFilesRunValueShortcutAndUninstallEntryInPlace)
{
    ASSERT_EQ(0u, Install());

    std::string installed, built;
    ASSERT_TRUE(TempFolder::ReadFile(Installed("NetChange.exe"), installed));
    ASSERT_TRUE(TempFolder::ReadFile(NETCHANGE_SHIPPED_EXE, built));
    EXPECT_TRUE(installed == built) << "the installed NetChange.exe differs from the built one";
    EXPECT_EQ(kDefaultSettings, FileText(Installed("CHECKCDROM.ini")));
    EXPECT_TRUE(Exists(Installed("uninst.exe")));
    EXPECT_TRUE(Exists(Shortcut())) << Utf8From936(Shortcut());

    // The same data the program writes for itself: its path, quoted.
    std::string run;
    ASSERT_TRUE(ReadString(kRunKey, kRunValue, run));
    EXPECT_EQ("\"" + Installed("NetChange.exe") + "\"", run);

    std::string value;
    ASSERT_TRUE(ReadString(kUninstallKey, "DisplayName", value));
    EXPECT_EQ("VELMOR 隔离卡参数设置", value) << Utf8From936(value);
    ASSERT_TRUE(ReadString(kUninstallKey, "DisplayVersion", value));
    EXPECT_EQ(NETCHANGE_VERSION, value);
    ASSERT_TRUE(ReadString(kUninstallKey, "Publisher", value));
    EXPECT_EQ("VELMOR", value);
    ASSERT_TRUE(ReadString(kUninstallKey, "DisplayIcon", value));
    EXPECT_EQ(Installed("NetChange.exe") + ",0", value);
    ASSERT_TRUE(ReadString(kUninstallKey, "UninstallString", value));
    EXPECT_EQ("\"" + Installed("uninst.exe") + "\"", value);
    DWORD kib = 0;
    ASSERT_TRUE(ReadDword(kUninstallKey, "EstimatedSize", kib));
    EXPECT_GE(kib, built.size() / 1024);
    EXPECT_LT(kib, built.size() / 1024 + 1024);
}

TEST_F(InstallTest, UpgradeEndsTheRunningProgramLikeItsTrayMenuAndKeepsTheSettings)
{
    ASSERT_EQ(0u, Install());
    // Unlike the default, yet with the drive check off, so no notice comes
    // before the panel.
    const std::string chosen = "[CHECKFLAG]\r\nflag=0\r\n[NOTES]\r\nkept=yes\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(Installed("CHECKCDROM.ini"), chosen));
    ASSERT_TRUE(m_program.Start(Installed("NetChange.exe")));

    ASSERT_EQ(0u, Install());
    EXPECT_EQ(static_cast<DWORD>(kTrayQuitExitCode), m_program.ExitCode());
    EXPECT_EQ(chosen, FileText(Installed("CHECKCDROM.ini")));
    EXPECT_TRUE(Exists(Installed("NetChange.exe")));
}

TEST_F(InstallTest, UninstallEndsTheRunningProgramAndRemovesEverything)
{
    ASSERT_EQ(0u, Install());
    ASSERT_TRUE(m_program.Start(Installed("NetChange.exe")));

    // The uninstaller copies itself away and runs from there, so the run
    // that matters is over when its entry and folder are gone.
    ASSERT_EQ(0u, RunToEnd("\"" + Installed("uninst.exe") + "\" /S"));
    std::string value;
    EXPECT_TRUE(PumpUntil([&] { return !Exists(m_installDir) && !ReadString(kUninstallKey, "DisplayName", value); },
                          kInstallerMs));
    EXPECT_EQ(static_cast<DWORD>(kTrayQuitExitCode), m_program.ExitCode());
    EXPECT_FALSE(Exists(m_installDir));
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, value));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(Exists(ShortcutFolder()));
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY, &key));
}

TEST_F(InstallTest, UninstallLeavesFilesOfTheUsersOwnInTheFolder)
{
    ASSERT_EQ(0u, Install());
    ASSERT_TRUE(TempFolder::WriteFile(Installed("notes.txt"), "mine"));
    ASSERT_EQ(0u, RunToEnd("\"" + Installed("uninst.exe") + "\" /S"));
    std::string value;
    ASSERT_TRUE(PumpUntil([&] { return !ReadString(kUninstallKey, "DisplayName", value); }, kInstallerMs));
    EXPECT_TRUE(PumpUntil([&] { return !Exists(Installed("NetChange.exe")) && !Exists(Installed("uninst.exe")); },
                          kInstallerMs));
    EXPECT_FALSE(Exists(Installed("CHECKCDROM.ini")));
    EXPECT_EQ("mine", FileText(Installed("notes.txt")));
}

// A window that carries the panel's title but ignores the quit command: the
// silent setup gives up rather than replace files of a program still running.
TEST_F(InstallTest, SilentSetupGivesUpWhenTheRunningProgramDoesNotEnd)
{
    HWND stubborn = CreateWindowExA(0, "#32770", kPanelTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, stubborn);
    const DWORD code = RunToEnd("\"" + m_setup + "\" /S", 60000);
    DestroyWindow(stubborn);
    EXPECT_EQ(kSetupAborted, code);
    EXPECT_FALSE(Exists(Installed("NetChange.exe")));
    std::string value;
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, value));
    EXPECT_FALSE(ReadString(kUninstallKey, "DisplayName", value));
}

TEST(SettingsFileRights, UsersMayChangeTheFileButNotWhoMayChangeIt)
{
    const std::string sddl = SettingsFileDescriptor();
    ASSERT_FALSE(sddl.empty()) << NETCHANGE_SETUP_SCRIPT;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr))
        << sddl;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);

    const DWORD users = RightsOf(WinBuiltinUsersSid, dacl);
    EXPECT_EQ(DWORD(FILE_GENERIC_READ | FILE_GENERIC_WRITE), users & (FILE_GENERIC_READ | FILE_GENERIC_WRITE));
    EXPECT_EQ(0u, users & (WRITE_DAC | WRITE_OWNER)) << std::hex << users;
    EXPECT_EQ(DWORD(FILE_ALL_ACCESS), RightsOf(WinBuiltinAdministratorsSid, dacl) & FILE_ALL_ACCESS);
    EXPECT_EQ(DWORD(FILE_ALL_ACCESS), RightsOf(WinLocalSystemSid, dacl) & FILE_ALL_ACCESS);
    EXPECT_EQ(0u, RightsOf(WinWorldSid, dacl));
    // Otherwise a later change of the folder's rules would take the
    // users' right away again.
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    LocalFree(descriptor);
}

}  // namespace
