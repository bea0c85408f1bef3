#pragma once
#include <windows.h>

#include <string>

// What the tests of the setup and of the Windows Installer package share:
// running an installer to its end, reading what it left, and the program it
// installed.

constexpr DWORD kInstallerMs = 30000;

// Starts a command line and waits for its end; the exit code, or ~0 when it
// could not start or did not end in time.
DWORD RunToEnd(std::string commandLine, DWORD ms = kInstallerMs);

// Values under HKEY_LOCAL_MACHINE; `view` is KEY_WOW64_32KEY for what a
// 32-bit program sees, or 0 for this program's own view.
bool ReadString(const char* key, const char* name, std::string& value, REGSAM view = 0);
bool ReadDword(const char* key, const char* name, DWORD& value, REGSAM view = 0);

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
    PROCESS_INFORMATION info_ = {};
};
