#include "support/ModulePathFake.h"

#include <cstring>

ModulePathFake g_modulePath;

const ModulePathApi kFakeModulePathApi = {&FakeModuleFileName};

DWORD WINAPI FakeModuleFileName(HMODULE module, LPSTR buffer, DWORD size)
{
    ++g_modulePath.calls;
    g_modulePath.module = module;
    g_modulePath.size = size;
    if (g_modulePath.fail)
        return 0;
    const std::string& path = g_modulePath.path;
    if (path.size() < size) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
