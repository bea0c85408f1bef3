#include "panel/FlagWindowThread.h"

#include "framework/AtomicHandle.h"
#include "panel/CNETFLAGDlg.h"
#include "panel/PanelMessages.h"

namespace {

HANDLE g_thread;
FlagWindowStop g_stop;

}  // namespace

DWORD WINAPI FlagWindowThread::Routine(LPVOID)
{
    g_netFlagDlg.RunModal(GetActiveWindow(), reinterpret_cast<LPARAM>(&g_stop));
    AtomicStore(g_stop.window, static_cast<HWND>(nullptr));
    return 0;
}

void FlagWindowThread::Start()
{
    g_thread = CreateThread(nullptr, 0, &Routine, nullptr, 0, nullptr);
}

bool FlagWindowThread::Finish(DWORD timeoutMs)
{
    InterlockedExchange(&g_stop.requested, 1);
    HWND window = AtomicLoad(g_stop.window);
    if (window != nullptr) {
        // Close an open menu first: its own loop would hold the run.
        PostMessageA(window, WM_CANCELMODE, 0, 0);
        PostMessageA(window, WM_FLAG_END, 0, 0);
    }
    if (g_thread == nullptr)
        return true;
    // Keep answering sent messages while waiting, so that a send from the
    // flag thread cannot hold both threads.
    const DWORD start = GetTickCount();
    bool finished = false;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            break;
        const DWORD wait = MsgWaitForMultipleObjects(1, &g_thread, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0) {
            finished = true;
            break;
        }
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(g_thread);
    g_thread = nullptr;
    return finished;
}
