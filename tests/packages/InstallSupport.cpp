#include "InstallSupport.h"

#include "support/NetChangeProcess.h"
#include "support/Pump.h"
#include "support/TempFolder.h"

namespace {

bool ReadValue(const char* key, const char* name, DWORD type, void* data, DWORD size)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegGetValueA(opened, nullptr, name, type, nullptr, data, &size);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

}  // namespace

DWORD RunToEnd(std::string commandLine, DWORD ms, const std::function<void(DWORD pid)>& whileRunning)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ~0u;
    DWORD code = ~0u;
    const auto ended = [&] {
        if (whileRunning)
            whileRunning(info.dwProcessId);
        return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0;
    };
    if (PumpUntil(ended, ms))
        GetExitCodeProcess(info.hProcess, &code);
    else
        TerminateProcess(info.hProcess, 0xDEAD);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

bool ReadString(const char* key, const char* name, std::string& value)
{
    char data[1024] = {};
    if (!ReadValue(key, name, RRF_RT_REG_SZ, data, sizeof data))
        return false;
    value = data;
    return true;
}

bool ReadDword(const char* key, const char* name, DWORD& value)
{
    return ReadValue(key, name, RRF_RT_REG_DWORD, &value, sizeof value);
}

void DeleteRunValue()
{
    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, kRunValue);
        RegCloseKey(run);
    }
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileText(const std::string& path)
{
    std::string bytes;
    TempFolder::ReadFile(path, bytes);
    return bytes;
}

bool InstalledProgram::Start(const std::string& exe)
{
    End();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &m_info))
        return false;
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
    return PumpUntil([&] { return CountProcessWindowsTitled(m_info.dwProcessId, kPanelTitle) > 0; }, 10000);
}

DWORD InstalledProgram::ExitCode() const
{
    DWORD code = ~0u;
    if (m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void InstalledProgram::End()
{
    if (m_info.hProcess == nullptr)
        return;
    TerminateProcess(m_info.hProcess, 0xDEAD);
    WaitForSingleObject(m_info.hProcess, 5000);
    CloseHandle(m_info.hProcess);
    m_info = {};
}
