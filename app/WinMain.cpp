#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/CheckCdrom.h"
#include "app/DetectionSettings.h"
#include "framework/CAppModule.h"
#include "panel/CMainDlg.h"
#include "panel/FlagWindowThread.h"

namespace {

// "外网": taken by the running instance and never released.
constexpr char kInstanceMutex[] = "外网";

// How long the end of the flag window may take before the process ends
// without running the process-wide destructors.
constexpr DWORD kFlagWindowEndTimeoutMs = 1000;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS)
        return 1;

    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    g_appModule.Init(instance);

    if (ReadCheckFlag() != 0)
        CheckCdrom();

    // The panel's object lives for its run only.
    const int result = CMainDlg().Run(GetActiveWindow());

    // The flag window's object dies with the process-wide objects after we
    // return; its window must be gone first. If it will not go, end the
    // process here rather than free what its window still uses.
    if (!FlagWindowThread::Finish(kFlagWindowEndTimeoutMs))
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));

    g_appModule.Term();
    CoUninitialize();
    return result;
}
