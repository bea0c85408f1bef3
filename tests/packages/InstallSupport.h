#pragma once
#include <windows.h>

#include <functional>
#include <string>

// What the tests of the setup and of the Windows Installer package share:
// running an installer to its end, reading what it left, and the program it
// installed.

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "VELMORNETCHANGE";
inline constexpr DWORD kInstallerMs = 30000;

// Starts a command line and waits for its end, calling `whileRunning` (if
// given) with its process id meanwhile; the exit code, or ~0 when it could
// not start or did not end in time.
DWORD RunToEnd(std::string commandLine, DWORD ms = kInstallerMs,
               const std::function<void(DWORD pid)>& whileRunning = nullptr);

// HKEY_LOCAL_MACHINE as the 32-bit installers and program under test see
// it: their machine-wide values land in the 32-bit view.
bool ReadString(const char* key, const char* name, std::string& value);
bool ReadDword(const char* key, const char* name, DWORD& value);
void DeleteRunValue();

bool Exists(const std::string& path);
std::string FileText(const std::string& path);

// A NetChange.exe where an installer put it, started in its folder and
// watched from outside.
class InstalledProgram
{
public:
    InstalledProgram() = default;
    ~InstalledProgram() { End(); }
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;

    // Starts `exe` and waits for its panel.
    bool Start(const std::string& exe);
    // The exit code once it has ended, or ~0 while it still runs.
    DWORD ExitCode() const;
    // Ends it by force if it still runs.
    void End();

private:
    PROCESS_INFORMATION m_info = {};
};
#include "panel/PanelMessages.h"
