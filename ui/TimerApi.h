#pragma once
#include <windows.h>

// Where an auto-repeat button starts its timers; tests read the delays it
// asks for here instead of timing the clicks.
struct TimerApi
{
    UINT_PTR(WINAPI* setTimer)(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
};

extern TimerApi g_timerApi;
