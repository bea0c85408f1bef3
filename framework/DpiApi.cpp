#include "framework/DpiApi.h"

namespace {

template <class Fn>
Fn User32Function(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
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

const AwarenessContextFn g_awarenessContext = User32Function<AwarenessContextFn>("GetWindowDpiAwarenessContext");
const ContextsEqualFn g_contextsEqual = User32Function<ContextsEqualFn>("AreDpiAwarenessContextsEqual");

bool WINAPI FramesFollowDpi(HWND window)
{
    return g_awarenessContext != nullptr && g_contextsEqual != nullptr &&
           g_contextsEqual(g_awarenessContext(window), kPerMonitorV2);
}

template <class Fn>
Fn OrElse(Fn found, Fn otherwise)
{
    return found != nullptr ? found : otherwise;
}

DpiApi LookUp()
{
    return {OrElse(User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow"), &SystemDpi),
            OrElse(User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi"), &SystemMetric),
            OrElse(User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi"),
                   &SystemFrame),
            &FramesFollowDpi,
            User32Function<BOOL(WINAPI*)(HWND, int, int)>("SetDialogDpiChangeBehavior"),
            User32Function<BOOL(WINAPI*)(HWND, int, int)>("SetDialogControlDpiChangeBehavior")};
}

}  // namespace

const DpiApi kSystemDpiApi = LookUp();
