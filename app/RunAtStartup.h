#pragma once
#include <windows.h>

// The calls the start-with-Windows registration makes; tests replace them.
struct RegistryApi
{
    LSTATUS(WINAPI* openKey)(HKEY root, LPCSTR subKey, PHKEY key);
    LSTATUS(WINAPI* setValue)(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
    LSTATUS(WINAPI* closeKey)(HKEY key);
    DWORD(WINAPI* moduleFileName)(HMODULE module, LPSTR path, DWORD size);
    void (*writeStdout)(const char* text);
};

extern const RegistryApi kSystemRegistryApi;

// Writes the executable's path, in double quotes, as "VELMORNETCHANGE" under
// the machine's Run key, so the program starts with Windows for every user.
// True when the value was written. Never asks for elevation: without the
// rights the value is simply not written.
bool RegisterRunAtStartup(const RegistryApi& api = kSystemRegistryApi);
