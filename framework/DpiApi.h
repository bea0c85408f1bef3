#pragma once
#include <windows.h>

// The messages of a DPI change, which the headers for older Windows lack.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif
constexpr UINT kDefaultDpi = 96;

// The DPI calls of Windows 10, looked up at run time: the program still
// starts on XP, whose user32 has none of them. Where one is missing, the
// table holds what older Windows does instead (the system's DPI, metrics
// and frames), or null for the calls that only switch something off.
struct DpiApi
{
    UINT(WINAPI* dpiForWindow)(HWND window);
    int(WINAPI* metricForDpi)(int index, UINT dpi);
    BOOL(WINAPI* adjustForDpi)(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
    // Whether the system draws the window's frame for the window's own DPI
    // (per-monitor v2), rather than for the DPI the session started with.
    bool(WINAPI* framesFollowDpi)(HWND window);
    BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND dialog, int mask, int values);
    BOOL(WINAPI* setDialogControlDpiChangeBehavior)(HWND control, int mask, int values);
};

// The table of the Windows whose user32 has the functions `user32Function`
// finds by name (GetProcAddress; tests give it others).
DpiApi LookUpDpiApi(FARPROC(WINAPI* user32Function)(LPCSTR name));

extern const DpiApi kSystemDpiApi;

// What the two calls switch off: the dialog manager's own answer to a DPI
// change (its resizing and relayout), and a control's (its font and
// relayout), which Windows 10 1703 and later give a per-monitor dialog.
constexpr int kDialogDpiChangeDisableAll = 0x1;          // DDC_DISABLE_ALL
constexpr int kControlDpiChangeDisableAll = 0x1 | 0x2;   // DCDC_DISABLE_FONT_UPDATE | DCDC_DISABLE_RELAYOUT
