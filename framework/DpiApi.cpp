#include "framework/DpiApi.h"

namespace {

FARPROC WINAPI SystemUser32Function(LPCSTR name)
{
    return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

template <class Fn>
Fn Found(FARPROC(WINAPI* find)(LPCSTR), const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(find(name)));
}

UINT WINAPI SystemDpi(HWND)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

int WINAPI SystemMetric(int index, UINT)
{
    return GetSystemMetrics(index);
}

BOOL WINAPI SystemFrame(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT)
{
    return AdjustWindowRectEx(rect, style, menu, exStyle);
}

using AwarenessContextFn = HANDLE(WINAPI*)(HWND window);
using ContextsEqualFn = BOOL(WINAPI*)(HANDLE a, HANDLE b);
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, which the headers for older
// Windows do not have.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

const AwarenessContextFn g_awarenessContext =
    Found<AwarenessContextFn>(&SystemUser32Function, "GetWindowDpiAwarenessContext");
const ContextsEqualFn g_contextsEqual = Found<ContextsEqualFn>(&SystemUser32Function, "AreDpiAwarenessContextsEqual");

bool WINAPI FramesFollowDpi(HWND window)
{
    return g_contextsEqual(g_awarenessContext(window), kPerMonitorV2) != FALSE;
}

bool WINAPI FramesKeepTheirSize(HWND)
{
    return false;
}

template <class Fn>
Fn OrElse(Fn found, Fn otherwise)
{
    return found != nullptr ? found : otherwise;
}

}  // namespace

DpiApi LookUpDpiApi(FARPROC(WINAPI* user32Function)(LPCSTR name))
{
    const bool contexts = Found<AwarenessContextFn>(user32Function, "GetWindowDpiAwarenessContext") != nullptr &&
                          Found<ContextsEqualFn>(user32Function, "AreDpiAwarenessContextsEqual") != nullptr &&
                          g_awarenessContext != nullptr && g_contextsEqual != nullptr;
    return {OrElse(Found<UINT(WINAPI*)(HWND)>(user32Function, "GetDpiForWindow"), &SystemDpi),
            OrElse(Found<int(WINAPI*)(int, UINT)>(user32Function, "GetSystemMetricsForDpi"), &SystemMetric),
            OrElse(Found<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>(user32Function, "AdjustWindowRectExForDpi"),
                   &SystemFrame),
            contexts ? &FramesFollowDpi : &FramesKeepTheirSize,
            Found<BOOL(WINAPI*)(HWND, int, int)>(user32Function, "SetDialogDpiChangeBehavior"),
            Found<BOOL(WINAPI*)(HWND, int, int)>(user32Function, "SetDialogControlDpiChangeBehavior")};
}

const DpiApi kSystemDpiApi = LookUpDpiApi(&SystemUser32Function);
