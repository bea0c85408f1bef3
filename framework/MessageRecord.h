#pragma once
#include <windows.h>
#include <cstddef>

// One message being processed for a bound object, built on the stack of the
// procedure that received it. The first seven fields have the layout of MSG;
// handlers may read and clear `handled` through the object's current-message
// pointer.
struct MessageRecord
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
    UINT size;
    BOOL handled;
};

static_assert(offsetof(MessageRecord, hwnd) == offsetof(MSG, hwnd), "MSG layout");
static_assert(offsetof(MessageRecord, message) == offsetof(MSG, message), "MSG layout");
static_assert(offsetof(MessageRecord, wParam) == offsetof(MSG, wParam), "MSG layout");
static_assert(offsetof(MessageRecord, lParam) == offsetof(MSG, lParam), "MSG layout");
static_assert(offsetof(MessageRecord, time) == offsetof(MSG, time), "MSG layout");
static_assert(offsetof(MessageRecord, pt) == offsetof(MSG, pt), "MSG layout");
#if !defined(_WIN64)
static_assert(sizeof(MessageRecord) == 36, "the 32-bit record is 36 bytes");
#endif
