#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "Input.h"
#include "StartedProgram.h"
#include "support/Pump.h"
#include "panel/PanelMessages.h"

namespace {

// Keeps the flag window busy while the program ends: if the process-wide
// flag object were destroyed (its stub turned into traps, its bitmap
// deleted) while its window still took messages, the process would die of
// a breakpoint instead of ending with its exit code.
class FlagPester
{
public:
    explicit FlagPester(HWND flag)
        : m_thread([this, flag] {
              while (!m_stop) {
                  PostMessageA(flag, WM_NULL, 0, 0);
                  PostMessageA(flag, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
                  PostMessageA(flag, WM_USER + 7, 0, 0);
                  PostMessageA(flag, WM_TIMER, 99, 0);
                  Sleep(0);
              }
          })
    {
    }
    ~FlagPester()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

void RunCycle(UINT quitMessage, WPARAM quitWParam, DWORD expectedCode, int round)
{
    NetChangeProcess program("cycle");
    ASSERT_TRUE(program.Start());
    HWND panel = program.WaitForPanel(kStartMs);
    ASSERT_NE(nullptr, panel);
    HWND flag = program.WaitForFlag(kStartMs);
    ASSERT_NE(nullptr, flag);
    DWORD code = 0;
    {
        FlagPester pester(flag);
        PumpMessages(50);
        PostMessageA(panel, quitMessage, quitWParam, 0);
        ASSERT_TRUE(program.WaitForExit(2000, &code)) << "round " << round;
    }
    EXPECT_EQ(expectedCode, code) << "round " << round;
}

TEST(Teardown, QuitFromTheFlagManyTimesWhileItsWindowIsBusy)
{
    for (int round = 0; round < 3; ++round)
        RunCycle(1505, 0, 1505, round);
}

TEST(Teardown, QuitFromTheTrayManyTimesWhileTheFlagWindowIsBusy)
{
    for (int round = 0; round < 3; ++round)
        RunCycle(WM_COMMAND, 1501, 1501, round);
}

// One thing done to the program: a message sent or posted by another
// program, a choice in its tray or flag menu (item 0: left open), or OK in
// the settings dialog while its file is held open elsewhere.
struct Action
{
    enum How { None, Posted, Sent, OkNotSaved, TrayMenu, FlagMenu } how;
    UINT message;
    WPARAM wParamOrItem;
    const char* opens;  // the dialog it shows
};

const Action kNothing = {Action::None, 0, 0, nullptr};
const Action kAboutSent = {Action::Sent, 1507, 0, "关于"};
const Action kTrayAbout = {Action::Posted, WM_COMMAND, 1502, "关于"};
const Action kFlagAbout = {Action::FlagMenu, 0, 2, "关于"};
const Action kSettingsButton = {Action::Posted, WM_COMMAND, IDOK, "设置"};
const Action kSettingsSent = {Action::Sent, 1506, 0, "设置"};
const Action kTraySettings = {Action::Posted, WM_COMMAND, 1503, "设置"};
const Action kTrayQuitPosted = {Action::Posted, WM_COMMAND, 1501, nullptr};
const Action kTrayQuitSent = {Action::Sent, WM_COMMAND, 1501, nullptr};
const Action kFlagQuitPosted = {Action::Posted, 1505, 0, nullptr};
const Action kFlagQuitSent = {Action::Sent, 1505, 0, nullptr};
const Action kOkNotSaved = {Action::OkNotSaved, 0, 0, nullptr};

// A quit request while something is open (and, optionally, something else
// opened inside it).
struct QuitCase
{
    const char* name;
    Action open;
    Action thenOpen;
    Action quit;
};

void PrintTo(const QuitCase& test, std::ostream* out)
{
    *out << test.name;
}

const QuitCase kQuitCases[] = {
    {"Nothing_FlagSent", kNothing, kNothing, kFlagQuitSent},
    {"Hidden_FlagPosted", {Action::Posted, WM_COMMAND, IDCANCEL, nullptr}, kNothing, kFlagQuitPosted},
    {"AboutSent_FlagSent", kAboutSent, kNothing, kFlagQuitSent},
    {"AboutSent_FlagPosted", kAboutSent, kNothing, kFlagQuitPosted},
    {"AboutSent_TraySent", kAboutSent, kNothing, kTrayQuitSent},
    {"AboutSent_FlagMenu", kAboutSent, kNothing, {Action::FlagMenu, 0, 3, nullptr}},
    {"TrayAbout_FlagPosted", kTrayAbout, kNothing, kFlagQuitPosted},
    {"SettingsButton_TrayPosted", kSettingsButton, kNothing, kTrayQuitPosted},
    {"SettingsNotSaved_TrayPosted", kSettingsButton, kOkNotSaved, kTrayQuitPosted},
    {"SettingsSent_FlagSent", kSettingsSent, kNothing, kFlagQuitSent},
    {"TraySettings_FlagMenu", kTraySettings, kNothing, {Action::FlagMenu, 0, 3, nullptr}},
    {"TraySettings_TrayMenu", kTraySettings, kNothing, {Action::TrayMenu, 0, 3, nullptr}},
    {"SettingsInsideAbout_FlagSent", kAboutSent, kTraySettings, kFlagQuitSent},
    {"SettingsInsideAbout_TrayPosted", kAboutSent, kTraySettings, kTrayQuitPosted},
    {"FlagAbout_TrayPosted", kFlagAbout, kNothing, kTrayQuitPosted},
    {"FlagAbout_TrayMenu", kFlagAbout, kNothing, {Action::TrayMenu, 0, 3, nullptr}},
    {"FlagMenu_TrayPosted", {Action::FlagMenu, 0, 0, nullptr}, kNothing, kTrayQuitPosted},
    {"FlagMenu_TraySent", {Action::FlagMenu, 0, 0, nullptr}, kNothing, kTrayQuitSent},
    {"FlagMenu_FlagSent", {Action::FlagMenu, 0, 0, nullptr}, kNothing, kFlagQuitSent},
    {"TrayMenu_FlagSent", {Action::TrayMenu, 0, 0, nullptr}, kNothing, kFlagQuitSent},
    {"TrayMenu_TraySent", {Action::TrayMenu, 0, 0, nullptr}, kNothing, kTrayQuitSent},
};

class QuitTest : public testing::TestWithParam<QuitCase>
{
protected:
    void Do(const Action& action)
    {
        const int item = static_cast<int>(action.wParamOrItem);
        HWND menuOwner = action.how == Action::FlagMenu ? flag : panel;
        if (action.how == Action::Posted)
            PostMessageA(panel, action.message, action.wParamOrItem, 0);
        else if (action.how == Action::Sent)  // without waiting: the panel may answer only at its end
            SendNotifyMessageA(panel, action.message, action.wParamOrItem, 0);
        else if (action.how == Action::TrayMenu)
            PostMessageA(panel, 1500, 200, WM_RBUTTONDOWN);
        else if (action.how == Action::FlagMenu)
            Input::RightClick(Input::CentreOf(flag));
        else if (action.how == Action::OkNotSaved) {
            held = CreateFileA(program.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
            PostMessageA(program.FindWindowOf("设置"), WM_COMMAND, IDOK, 0);
            ASSERT_NE(nullptr, program.WaitForWindow("提示", 3000)) << "no word that the setting was not saved";
        }
        if (action.how >= Action::TrayMenu) {
            ASSERT_TRUE(item == 0 ? Input::WaitForMenuKeyboard(menuOwner) : Input::ChooseFromMenu(menuOwner, item));
        }
        if (action.opens != nullptr) {
            HWND dialog = program.WaitForWindow(action.opens, 3000);
            ASSERT_NE(nullptr, dialog);
            // The user changes the setting but never confirms it.
            SendMessageA(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);
        }
    }

    void TearDown() override
    {
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    }

    NetChangeProcess program{"quit", "[CHECKFLAG]\r\nflag=0\r\n"};
    HANDLE held = INVALID_HANDLE_VALUE;
    HWND panel = nullptr;
    HWND flag = nullptr;
};

// Whatever is open and however it was opened, every quit request ends the
// process promptly with its code, and nothing unconfirmed is written.
TEST_P(QuitTest, EndsTheProcessWithItsCodeAndWritesNothingUnconfirmed)
{
    const QuitCase& test = GetParam();
    ASSERT_TRUE(program.Start());
    panel = program.WaitForPanel(kStartMs);
    flag = program.WaitForFlag(kStartMs);
    ASSERT_TRUE(panel != nullptr && flag != nullptr);
    for (const Action& action : {test.open, test.thenOpen, test.quit}) {
        Do(action);
        if (HasFatalFailure())
            return;
    }
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(2000, &code));
    EXPECT_EQ(test.quit.message == 1505 || test.quit.how == Action::FlagMenu ? 1505u : 1501u, code);
    std::string ini;
    ASSERT_TRUE(TempFolder::ReadFile(program.IniPath(), ini));
    EXPECT_EQ("[CHECKFLAG]\r\nflag=0\r\n", ini);
}

INSTANTIATE_TEST_SUITE_P(Requests, QuitTest, testing::ValuesIn(kQuitCases),
                         [](const testing::TestParamInfo<QuitCase>& param) { return std::string(param.param.name); });

// Runs the program under this test as its debugger, to see how each of its
// threads ends: a thread that returns from its routine ends with its own
// code, one that the end of the process cuts off ends with the process's.
class DebuggedProgram
{
public:
    explicit DebuggedProgram(NetChangeProcess& program) : m_program(program) {}

    bool Start()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + m_program.ExePath() + "\"";
        if (!CreateProcessA(m_program.ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            DEBUG_ONLY_THIS_PROCESS, nullptr, m_program.Folder().Path().c_str(), &startup, &m_info))
            return false;
        CloseHandle(m_info.hThread);
        return true;
    }

    ~DebuggedProgram()
    {
        if (!m_exited) {
            TerminateProcess(m_info.hProcess, 0xDEAD);
            while (!m_exited && Step(100)) {
            }
        }
        CloseHandle(m_info.hProcess);
    }

    // Handles debug events for up to `ms`, or until the process has ended.
    bool Step(DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (!m_exited && GetTickCount() - start < ms) {
            DEBUG_EVENT event;
            if (!WaitForDebugEvent(&event, 10))
                continue;
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT && !m_sawLoaderBreakpoint)
                    m_sawLoaderBreakpoint = true;
                else if (event.u.Exception.dwFirstChance)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT && status != DBG_CONTINUE)
                    ++m_strayBreakpoints;
                break;
            case EXIT_THREAD_DEBUG_EVENT:
                m_threadExitCodes.push_back({event.dwThreadId, event.u.ExitThread.dwExitCode});
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                m_exitCode = event.u.ExitProcess.dwExitCode;
                m_exited = true;
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile != nullptr)
                    CloseHandle(event.u.LoadDll.hFile);
                break;
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile != nullptr)
                    CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            default:
                break;
            }
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        }
        return !m_exited;
    }

    // Debug events keep flowing while we wait for a window.
    HWND WaitFor(const std::function<HWND()>& find, DWORD ms)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            if (HWND found = find())
                return found;
            if (GetTickCount() - start >= ms || !Step(20))
                return nullptr;
        }
    }

    DWORD Pid() const { return m_info.dwProcessId; }
    bool Exited() const { return m_exited; }
    DWORD ExitCode() const { return m_exitCode; }
    int StrayBreakpoints() const { return m_strayBreakpoints; }
    // The exit code of a thread that ended, if it did.
    bool ThreadExitCode(DWORD threadId, DWORD* code) const
    {
        for (const auto& [thread, exitCode] : m_threadExitCodes)
            if (thread == threadId) {
                *code = exitCode;
                return true;
            }
        return false;
    }

private:
    NetChangeProcess& m_program;
    PROCESS_INFORMATION m_info = {};
    bool m_sawLoaderBreakpoint = false;
    bool m_exited = false;
    DWORD m_exitCode = 0;
    int m_strayBreakpoints = 0;
    std::vector<std::pair<DWORD, DWORD>> m_threadExitCodes;
};

// The flag window's object is destroyed after start-up returns; its window
// must be gone and its thread finished first, so the thread ends by
// returning from its routine (code 0), not cut off by the process's end.
TEST(Teardown, TheFlagThreadFinishesBeforeTheProcessEnds)
{
    for (const auto& [quitMessage, quitWParam, code] :
         {std::tuple<UINT, WPARAM, DWORD>{1505, 0, 1505}, {WM_COMMAND, 1501, 1501}}) {
        NetChangeProcess program("debugged");
        DebuggedProgram debugged(program);
        ASSERT_TRUE(debugged.Start());
        const std::string title = kPanelTitle;
        HWND panel = debugged.WaitFor([&] { return FindProcessDialog(debugged.Pid(), &title, true); }, kStartMs);
        ASSERT_NE(nullptr, panel);
        HWND flag = debugged.WaitFor([&] { return FindProcessDialog(debugged.Pid(), nullptr, true); }, kStartMs);
        ASSERT_NE(nullptr, flag);
        const DWORD flagThread = GetWindowThreadProcessId(flag, nullptr);

        PostMessageA(panel, quitMessage, quitWParam, 0);
        while (debugged.Step(100)) {
        }
        ASSERT_TRUE(debugged.Exited());
        EXPECT_EQ(code, debugged.ExitCode());
        DWORD flagExit = 0xFFFFFFFF;
        ASSERT_TRUE(debugged.ThreadExitCode(flagThread, &flagExit));
        EXPECT_EQ(0u, flagExit) << "the flag thread was cut off by the end of the process";
        EXPECT_EQ(0, debugged.StrayBreakpoints());
    }
}

}  // namespace
