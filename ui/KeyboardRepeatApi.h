#pragma once
#include <windows.h>

// Where an auto-repeat button reads the keyboard's delay and repeat
// settings when a press starts; tests put their own settings here.
struct KeyboardRepeatApi
{
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT param, PVOID value, UINT winIni);
};

extern KeyboardRepeatApi g_keyboardRepeatApi;
