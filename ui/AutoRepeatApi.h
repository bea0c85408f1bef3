#pragma once
#include <windows.h>

// What an auto-repeat button asks of the platform when a press starts: the
// keyboard's delay and repeat settings, and its two timers. Tests give a
// button their own settings and read the delays asked for, without timing
// clicks.
struct AutoRepeatApi
{
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT param, PVOID value, UINT winIni);
    UINT_PTR(WINAPI* setTimer)(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
};

extern const AutoRepeatApi kSystemAutoRepeatApi;
