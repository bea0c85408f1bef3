// The baseline of the benchmarks: the smallest program that shows a
// comparable dialog, a static DialogBoxParamA with a plain dialog procedure.
//
// Built as bare_dialog_same_work (BARE_SAME_WORK=1), it also does, without any framework, skin or class of
// ours, the platform work NetChange's start-up must do before its panel
// shows: mutex, COM, common controls, the settings file, icons, a second
// thread with a small dialog, the Run value, three image strips and
// tooltips, and a tray icon. The difference between the two baselines is
// what that work costs on the platform at hand.
#include <windows.h>

#if BARE_SAME_WORK
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#endif

namespace {

#if BARE_SAME_WORK
NOTIFYICONDATAA g_tray;

INT_PTR CALLBACK FlagProcedure(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

DWORD WINAPI FlagThread(LPVOID)
{
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102), nullptr, &FlagProcedure, 0);
    return 0;
}

void DoTheSameWork(HWND dialog)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int big = 1; big >= 0; --big) {
        HANDLE icon = LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_ICON,
                                 GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                 GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED);
        SendMessageA(dialog, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    CloseHandle(CreateThread(nullptr, 0, &FlagThread, nullptr, 0, nullptr));

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, "BAREDIALOGBENCH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>(std::strlen(path) + 1));
        RegCloseKey(key);
    }

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 444;
    info.bmiHeader.biHeight = 44;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const int ids[] = {IDOK, 57664, IDCANCEL};
    for (int id : ids) {
        HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HIMAGELIST list = ImageList_Create(111, 44, ILC_COLOR32, 4, 0);
        ImageList_Add(list, strip, nullptr);
        DeleteObject(strip);
        HWND button = GetDlgItem(dialog, id);
        HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, button, nullptr, instance, nullptr);
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = const_cast<char*>("tip");
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        SetWindowPos(button, nullptr, 0, 0, 111, 44, SWP_NOMOVE | SWP_NOZORDER);
    }

    g_tray.cbSize = sizeof g_tray;
    g_tray.hWnd = dialog;
    g_tray.uID = 201;
    g_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_tray.uCallbackMessage = WM_APP;
    g_tray.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    Shell_NotifyIconA(NIM_ADD, &g_tray);
}
#endif

INT_PTR CALLBACK BareProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
#if BARE_SAME_WORK
        DoTheSameWork(dialog);
#endif
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
#if BARE_SAME_WORK
    {
        CreateMutexA(nullptr, FALSE, "BareDialogBench");
        CoInitialize(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
        char ini[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, ini, MAX_PATH);
        std::strcpy(std::strrchr(ini, '\\') + 1, "CHECKCDROM.ini");
        GetPrivateProfileIntA("CHECKFLAG", "flag", 0, ini);
    }
#endif
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(100), nullptr, &BareProcedure, 0);
#if BARE_SAME_WORK
    Shell_NotifyIconA(NIM_DELETE, &g_tray);
#endif
    return static_cast<int>(result);
}
