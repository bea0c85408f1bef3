#include "Input.h"

#include "support/NetChangeProcess.h"
#include "support/Pump.h"

namespace Input {
namespace {

void Mouse(DWORD flags, POINT at)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    input.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    PumpMessages(30);
}

}  // namespace

void MoveTo(POINT screen)
{
    Mouse(0, screen);
}

void LeftClick(POINT screen)
{
    Mouse(0, screen);
    Mouse(MOUSEEVENTF_LEFTDOWN, screen);
    Mouse(MOUSEEVENTF_LEFTUP, screen);
}

void LeftDoubleClick(POINT screen)
{
    Mouse(0, screen);
    Mouse(MOUSEEVENTF_LEFTDOWN, screen);
    Mouse(MOUSEEVENTF_LEFTUP, screen);
    Mouse(MOUSEEVENTF_LEFTDOWN, screen);
    Mouse(MOUSEEVENTF_LEFTUP, screen);
}

void RightClick(POINT screen)
{
    Mouse(0, screen);
    Mouse(MOUSEEVENTF_RIGHTDOWN, screen);
    Mouse(MOUSEEVENTF_RIGHTUP, screen);
}

void LeftDrag(POINT from, POINT to)
{
    Mouse(0, from);
    Mouse(MOUSEEVENTF_LEFTDOWN, from);
    PumpMessages(100);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i)
        Mouse(0, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    PumpMessages(100);
    Mouse(MOUSEEVENTF_LEFTUP, to);
    PumpMessages(100);
}

void Key(WORD virtualKey)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
    PumpMessages(50);
}

bool WaitForMenuKeyboard(HWND owner, DWORD ms)
{
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(owner, &pid);
    return PumpUntil(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            DWORD foregroundPid = 0;
            GetWindowThreadProcessId(GetForegroundWindow(), &foregroundPid);
            return CountProcessWindows(pid, "#32768", true) == 1 && GetGUIThreadInfo(thread, &info) &&
                   (info.flags & GUI_INMENUMODE) && foregroundPid == pid;
        },
        ms);
}

bool ChooseFromMenu(HWND owner, int position, int items)
{
    if (!WaitForMenuKeyboard(owner))
        return false;
    // A click, not arrow keys: keys move on from whatever item is lit, and
    // reach the menu only while its thread has the foreground, which the
    // flag window's thread may take while the program starts.
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    HWND menu = FindProcessWindow(pid, "#32768");
    RECT client;
    GetClientRect(menu, &client);
    POINT item = {client.right / 2, client.bottom * (2 * position - 1) / (2 * items)};
    ClientToScreen(menu, &item);
    LeftClick(item);
    return true;
}

POINT CentreOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace Input
