#pragma once
#include <windows.h>

#include <string>

#include "app/DetectionSettings.h"

// Stands in for GetModuleFileNameA: reports `path` as the running program's
// the way the real call does (a path that does not fit comes back cut and
// terminated, with the buffer's size as result), or fails, and notes what
// it was asked. Reset it in each test's set-up.
struct ModulePathFake
{
    std::string path;
    bool fail = false;
    int calls = 0;
    HMODULE module = reinterpret_cast<HMODULE>(1);
    DWORD size = 0;
};

extern ModulePathFake g_modulePath;

DWORD WINAPI FakeModuleFileName(HMODULE module, LPSTR buffer, DWORD size);

// The settings file's calls with the fake in place.
extern const ModulePathApi kFakeModulePathApi;
