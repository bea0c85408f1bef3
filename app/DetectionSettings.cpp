#include "app/DetectionSettings.h"

#include <cstring>

namespace {

constexpr char kSection[] = "CHECKFLAG";
constexpr char kKey[] = "flag";

// The reason goes with the failure: the user is shown it.
bool Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

}  // namespace

const ModulePathApi kSystemModulePathApi = {&GetModuleFileNameA};

bool GetCheckIniPath(char (&path)[MAX_PATH], const ModulePathApi& api)
{
    char module[MAX_PATH] = {};
    std::memset(path, 0, sizeof path);
    const DWORD length = api.moduleFileName(nullptr, module, MAX_PATH);
    if (length == 0)
        return false;
    // A full buffer means a truncated (and maybe unterminated) path.
    if (length >= MAX_PATH)
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    const char* slash = std::strrchr(module, '\\');
    if (slash == nullptr)
        return Fail(ERROR_BAD_PATHNAME);
    const size_t directory = static_cast<size_t>(slash - module) + 1;
    if (directory + sizeof kCheckIniName > MAX_PATH)
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    std::memcpy(path, module, directory);
    std::memcpy(path + directory, kCheckIniName, sizeof kCheckIniName);
    return true;
}

int ReadCheckFlag(const ModulePathApi& api)
{
    char path[MAX_PATH];
    if (!GetCheckIniPath(path, api))
        return 0;
    return static_cast<int>(GetPrivateProfileIntA(kSection, kKey, 0, path));
}

DWORD WriteCheckFlag(bool check, const ModulePathApi& api)
{
    char path[MAX_PATH];
    if (GetCheckIniPath(path, api) && WritePrivateProfileStringA(kSection, kKey, check ? "1" : "0", path))
        return ERROR_SUCCESS;
    // A failure must never read as success.
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}
