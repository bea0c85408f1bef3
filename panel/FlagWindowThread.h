#pragma once
#include <windows.h>

// The thread of the network-state flag window, and its orderly end.
//
// The flag window object is process-wide and is destroyed after WinMain
// returns; its window must be gone by then. So before start-up returns, the
// main thread asks the flag window to end its run (by posting: it never
// sends to that thread) and waits a bounded time for the thread. The thread
// owns the run and hands the window its stop state.
class FlagWindowThread
{
public:
    static void Start();
    // Ends the flag window's run and waits for its thread. True when the
    // thread has finished or never ran; false when it did not end in time.
    static bool Finish(DWORD timeoutMs);

private:
    static DWORD WINAPI Routine(LPVOID);
};
