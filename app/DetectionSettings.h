#pragma once
#include <windows.h>

// The one stored setting: whether start-up checks the optical drives.
// "CHECKCDROM.ini" beside the executable, section "CHECKFLAG", key "flag".
// Nothing caches the path: every use builds it afresh from the module path.

// Where the program is: the one call of the settings file that tests replace.
struct ModulePathApi
{
    DWORD(WINAPI* moduleFileName)(HMODULE module, LPSTR path, DWORD size);
};

extern const ModulePathApi kSystemModulePathApi;

constexpr char kCheckIniName[] = "CHECKCDROM.ini";

// Fills `path` with the settings file's full path. Fails, leaving `path`
// empty and the reason as the last error, when the module path cannot be
// read or its directory leaves no room for the file name in MAX_PATH bytes.
bool GetCheckIniPath(char (&path)[MAX_PATH], const ModulePathApi& api = kSystemModulePathApi);

// The stored value, 0 when the file, section or key is missing, and 0 when
// the path cannot be built.
int ReadCheckFlag(const ModulePathApi& api = kSystemModulePathApi);

// Stores "1" or "0": ERROR_SUCCESS, or the system's error code when the
// path cannot be built or the file cannot be written.
DWORD WriteCheckFlag(bool check, const ModulePathApi& api = kSystemModulePathApi);
