#pragma once
#include <windows.h>

#include <string>

#include "support/TempFolder.h"

// The real NetChange.exe, copied into a fresh folder of its own and started
// there, watched from outside. The destructor ends a process still running.
class NetChangeProcess
{
public:
    // `folderName` becomes part of the folder's name (spaces and Chinese
    // characters welcome); `ini`, when given, is written as CHECKCDROM.ini.
    explicit NetChangeProcess(const std::string& folderName = "netchange", const char* ini = nullptr);
    ~NetChangeProcess();
    NetChangeProcess(const NetChangeProcess&) = delete;
    NetChangeProcess& operator=(const NetChangeProcess&) = delete;

    bool Start();
    bool Running() const;
    // Waits for the process to end; true and its exit code when it did.
    bool WaitForExit(DWORD ms, DWORD* exitCode = nullptr);
    void Kill();

    // The Wait functions return a window once it is visible: a dialog shows
    // itself only after its initialisation has run.
    // The panel (kPanelTitle) of this process.
    HWND WaitForPanel(DWORD ms) const;
    // The flag window: this process's captionless top-level dialog, once it
    // has moved to the right half of the screen.
    HWND WaitForFlag(DWORD ms) const;
    // A top-level dialog of this process whose caption is `title` (936).
    HWND WaitForWindow(const std::string& title, DWORD ms) const;
    // The same, visible or not, without waiting.
    HWND FindWindowOf(const std::string& title) const;

    DWORD Pid() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    const TempFolder& Folder() const { return m_folder; }
    std::string ExePath() const { return m_folder.File("NetChange.exe"); }
    std::string IniPath() const { return m_folder.File("CHECKCDROM.ini"); }

    // The NetChange.exe under test: the shipped i686 one when the
    // environment says NETCHANGE_PROGRAM=i686, else the x86_64 one built
    // beside the test programs.
    static std::string BuiltProgram();
    static bool Is32Bit();
    // The registry view that the program's machine-wide writes land in:
    // a 32-bit program's go to the 32-bit view, as on 64-bit Windows.
    static REGSAM RegistryView();

private:
    TempFolder m_folder;
    PROCESS_INFORMATION m_info = {};
};

// A file in the folder of the running test program (where the build puts
// NetChange.exe and the setups beside the tests).
std::string BesideTestProgram(const std::string& name);

// Does the shell hold the tray icon (owner, id)? Asked from outside: a
// modify without flags succeeds only while the icon exists.
bool TrayIconExists(HWND owner, UINT id = 200);
// Takes the icon away from outside, as a shell that restarts loses it.
bool DeleteTrayIcon(HWND owner, UINT id = 200);

// Top-level windows of a process with the given window class ("#32770" for
// dialogs, "#32768" for menus), visible ones only when asked.
int CountProcessWindows(DWORD pid, const char* className, bool visibleOnly);

// A visible top-level window of a process with the given window class.
HWND FindProcessWindow(DWORD pid, const char* className);

// Top-level windows of a process whose caption is `title` (code page 936).
int CountProcessWindowsTitled(DWORD pid, const std::string& title);

// A top-level dialog of a process: the one whose caption is `title`, or,
// when `title` is null, the captionless one (the flag window).
HWND FindProcessDialog(DWORD pid, const std::string* title, bool visibleOnly);
