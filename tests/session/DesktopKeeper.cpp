// Keeps Wine's taskbar desktop up for a whole test run. The desktop process
// starts with the first windowed program and ends a second after the last
// window has gone; a test run would otherwise start it again for every test
// program, and wait for it to end each time. A hidden window is enough.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
