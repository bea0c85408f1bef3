#pragma once
#include <windows.h>

#include <functional>

// Dispatches this thread's messages for up to `ms` milliseconds.
void PumpMessages(DWORD ms);

// Pumps until `done` is true or `ms` have passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
