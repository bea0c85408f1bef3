#include "support/NetChangeProcess.h"

#include <shellapi.h>

#include <cstdio>

#include "support/Pump.h"
#include "panel/PanelMessages.h"

namespace {

struct Search
{
    DWORD pid;
    const char* className;
    const std::string* title;
    bool visibleOnly;
    bool captionless;
    HWND found;
    int count;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (search->className != nullptr && lstrcmpA(name, search->className) != 0)
        return TRUE;
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (search->title != nullptr && *search->title != caption)
        return TRUE;
    if (search->captionless && (caption[0] != '\0' || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION)))
        return TRUE;
    if (search->found == nullptr)
        search->found = window;
    ++search->count;
    return TRUE;
}

Search Find(DWORD pid, const char* className, const std::string* title, bool visibleOnly, bool captionless)
{
    Search search = {pid, className, title, visibleOnly, captionless, nullptr, 0};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND WaitFor(DWORD ms, DWORD pid, const char* className, const std::string* title, bool captionless)
{
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = Find(pid, className, title, true, captionless).found;
            return found != nullptr;
        },
        ms);
    return found;
}

BOOL NotifyIconOf(DWORD message, HWND owner, UINT id)
{
    NOTIFYICONDATAA record = {};
    record.cbSize = sizeof record;
    record.hWnd = owner;
    record.uID = id;
    return Shell_NotifyIconA(message, &record);
}

}  // namespace

std::string BesideTestProgram(const std::string& name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string self = path;
    return self.substr(0, self.find_last_of('\\') + 1) + name;
}

bool NetChangeProcess::Is32Bit()
{
    char program[16] = {};
    GetEnvironmentVariableA("NETCHANGE_PROGRAM", program, sizeof program);
    return lstrcmpA(program, "i686") == 0;
}

std::string NetChangeProcess::BuiltProgram()
{
    return Is32Bit() ? NETCHANGE_I686_EXE : BesideTestProgram("NetChange.exe");
}

REGSAM NetChangeProcess::RegistryView()
{
    return Is32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

NetChangeProcess::NetChangeProcess(const std::string& folderName, const char* ini) : m_folder(folderName)
{
    if (!CopyFileA(BuiltProgram().c_str(), ExePath().c_str(), FALSE))
        std::fprintf(stderr, "copying %s to %s failed: error %lu\n", BuiltProgram().c_str(), ExePath().c_str(),
                     GetLastError());
    if (ini != nullptr)
        TempFolder::WriteFile(IniPath(), ini);
}

NetChangeProcess::~NetChangeProcess()
{
    Kill();
}

bool NetChangeProcess::Start()
{
    if (m_folder.Path().empty()) {
        std::fprintf(stderr, "no folder to start NetChange.exe in\n");
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // A start refused at once has been seen once in a full run under a loaded
    // Wine; every refusal is reported, and a start is tried again a few times
    // so that such a hiccup does not fail a test about the program itself.
    for (int attempt = 1;; ++attempt) {
        std::string commandLine = "\"" + ExePath() + "\"";
        if (CreateProcessA(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           m_folder.Path().c_str(), &startup, &m_info))
            break;
        const DWORD error = GetLastError();
        const bool present = GetFileAttributesA(ExePath().c_str()) != INVALID_FILE_ATTRIBUTES;
        std::fprintf(stderr, "starting %s failed (attempt %d): error %lu, exe %s\n", ExePath().c_str(), attempt,
                     error, present ? "present" : "missing");
        if (attempt == 3)
            return false;
        Sleep(200);
        if (!present)
            CopyFileA(BuiltProgram().c_str(), ExePath().c_str(), FALSE);
    }
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
    return true;
}

bool NetChangeProcess::Running() const
{
    return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool NetChangeProcess::WaitForExit(DWORD ms, DWORD* exitCode)
{
    if (m_info.hProcess == nullptr)
        return false;
    const bool ended = PumpUntil([&] { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0; }, ms);
    if (ended && exitCode != nullptr)
        GetExitCodeProcess(m_info.hProcess, exitCode);
    return ended;
}

void NetChangeProcess::Kill()
{
    if (m_info.hProcess == nullptr)
        return;
    if (Running()) {
        TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hProcess);
    m_info = {};
}

HWND NetChangeProcess::WaitForPanel(DWORD ms) const
{
    return WaitForWindow(kPanelTitle, ms);
}

HWND NetChangeProcess::WaitForWindow(const std::string& title, DWORD ms) const
{
    return WaitFor(ms, Pid(), "#32770", &title, false);
}

HWND NetChangeProcess::FindWindowOf(const std::string& title) const
{
    return Find(Pid(), "#32770", &title, false, false).found;
}

HWND NetChangeProcess::WaitForFlag(DWORD ms) const
{
    // It shows itself in the screen's top-left corner, then moves.
    HWND flag = nullptr;
    RECT rect = {};
    const bool placed = PumpUntil(
        [&] {
            flag = Find(Pid(), "#32770", nullptr, true, true).found;
            return flag != nullptr && GetWindowRect(flag, &rect) && rect.left > GetSystemMetrics(SM_CXSCREEN) / 2;
        },
        ms);
    return placed ? flag : nullptr;
}

bool TrayIconExists(HWND owner, UINT id)
{
    return NotifyIconOf(NIM_MODIFY, owner, id) != FALSE;
}

bool DeleteTrayIcon(HWND owner, UINT id)
{
    return NotifyIconOf(NIM_DELETE, owner, id) != FALSE;
}

int CountProcessWindows(DWORD pid, const char* className, bool visibleOnly)
{
    return Find(pid, className, nullptr, visibleOnly, false).count;
}

HWND FindProcessWindow(DWORD pid, const char* className)
{
    return Find(pid, className, nullptr, true, false).found;
}

int CountProcessWindowsTitled(DWORD pid, const std::string& title)
{
    return Find(pid, nullptr, &title, false, false).count;
}

HWND FindProcessDialog(DWORD pid, const std::string* title, bool visibleOnly)
{
    return Find(pid, "#32770", title, visibleOnly, title == nullptr).found;
}
