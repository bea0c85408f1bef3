#include "app/DetectionSettings.h"

#include <cstring>

namespace {

constexpr char kFileName[] = "CHECKCDROM.ini";
constexpr char kSection[] = "CHECKFLAG";
constexpr char kKey[] = "flag";

}  // namespace

const ModulePathApi kSystemModulePathApi = {&GetModuleFileNameA};

bool GetCheckIniPath(char (&path)[MAX_PATH], const ModulePathApi& api)
{
    char module[MAX_PATH] = {};
    std::memset(path, 0, sizeof path);
    const DWORD length = api.moduleFileName(nullptr, module, MAX_PATH);
    // A full buffer means a truncated (and maybe unterminated) path.
    if (length == 0 || length >= MAX_PATH)
        return false;
    const char* slash = std::strrchr(module, '\\');
    if (slash == nullptr)
        return false;
    const size_t directory = static_cast<size_t>(slash - module) + 1;
    if (directory + sizeof kFileName > MAX_PATH)
        return false;
    std::memcpy(path, module, directory);
    std::memcpy(path + directory, kFileName, sizeof kFileName);
    return true;
}

int ReadCheckFlag(const ModulePathApi& api)
{
    char path[MAX_PATH];
    if (!GetCheckIniPath(path, api))
        return 0;
    return static_cast<int>(GetPrivateProfileIntA(kSection, kKey, 0, path));
}

void WriteCheckFlag(bool check, const ModulePathApi& api)
{
    char path[MAX_PATH];
    if (!GetCheckIniPath(path, api))
        return;
    WritePrivateProfileStringA(kSection, kKey, check ? "1" : "0", path);
}
