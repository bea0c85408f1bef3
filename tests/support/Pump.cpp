#include "support/Pump.h"

#include <cstdlib>

namespace {

void DispatchPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void PumpMessages(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// The shipped 32-bit program runs much slower under qemu-i386; there the
// session stretches every wait by this factor (scripts/wine-run.sh).
DWORD TimeScale()
{
    char factor[16] = {};
    GetEnvironmentVariableA("NETCHANGE_TIME_SCALE", factor, sizeof factor);
    const int scale = atoi(factor);
    return scale > 1 ? static_cast<DWORD>(scale) : 1;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    static const DWORD scale = TimeScale();
    ms *= scale;
    const DWORD start = GetTickCount();
    for (;;) {
        DispatchPending();
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (ms - elapsed) < 10 ? (ms - elapsed) : 10, QS_ALLINPUT);
    }
}
