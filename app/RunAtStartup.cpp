#include "app/RunAtStartup.h"

namespace {

void WriteStdout(const char* text)
{
    // The program has no console; when standard output goes nowhere, so does this.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(out, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kValueName[] = "VELMORNETCHANGE";

}  // namespace

const RegistryApi kSystemRegistryApi = {
    &RegOpenKeyA, &RegSetValueExA, &RegCloseKey, &GetModuleFileNameA, &WriteStdout,
};

bool RegisterRunAtStartup(const RegistryApi& api)
{
    char path[MAX_PATH] = {};
    const DWORD length = api.moduleFileName(nullptr, path, MAX_PATH);
    // A truncated path would start nothing; better no value than a wrong one.
    // Quoted, it must still fit MAX_PATH bytes.
    if (length == 0 || length + 2 >= MAX_PATH)
        return false;
    // Unquoted, Windows would read a path with spaces piece by piece and
    // start C:\Program.exe first, if someone put one there.
    char command[MAX_PATH] = {};
    wsprintfA(command, "\"%s\"", path);
    HKEY key = nullptr;
    if (api.openKey(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) {
        api.writeStdout("打开注册表项失败");
        return false;
    }
    const LSTATUS status = api.setValue(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                        static_cast<DWORD>(lstrlenA(command) + 1));
    api.closeKey(key);
    return status == ERROR_SUCCESS;
}
