#include "panel/TrayIcon.h"

#include "framework/ModuleRecord.h"
#include "panel/PanelMessages.h"

namespace {

FARPROC WINAPI User32Function(LPCSTR name)
{
    return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

// The filter calls as Windows 7 and Vista have them; XP has neither.
using FilterExFn = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, void* status);
using FilterFn = BOOL(WINAPI*)(UINT message, DWORD flag);
constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW
constexpr DWORD kMessageFilterAdd = 1;    // MSGFLT_ADD
// Windows 10's, for the taskbar's DPI.
using DpiForWindowFn = UINT(WINAPI*)(HWND window);
using MetricForDpiFn = int(WINAPI*)(int index, UINT dpi);

template <class Fn>
Fn FunctionAs(FARPROC function)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

const TrayShellApi kSystemTrayShellApi = {&Shell_NotifyIconA, &GetVersion, &User32Function, &GetSystemMetrics};

TrayIcon::~TrayIcon()
{
    if (m_record.hIcon != nullptr)
        DestroyIcon(m_record.hIcon);
}

bool TrayIcon::Add(HWND owner)
{
    // XP's shell refuses a record of Vista's size, so the icon would be
    // missing there; it takes the record as it knew it.
    const bool vistaOrLater = LOBYTE(LOWORD(m_api.windowsVersion())) >= 6;
    m_record.cbSize = vistaOrLater ? sizeof m_record : kXpNotifyIconDataSize;
    m_record.hWnd = owner;
    m_record.uID = kTrayIconId;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ZeroMemory(m_record.szTip, sizeof m_record.szTip);
    m_record.uCallbackMessage = WM_TRAY_NOTIFY;
    if (m_record.hIcon == nullptr) {
        m_iconSize = ShownSize();
        m_record.hIcon = LoadAt(m_iconSize);
    }
    LetTaskbarCreatedThrough(owner);
    return AddAgain();
}

// From Vista on, Windows keeps messages of lower programs, the shell's
// broadcast among them, from an elevated window: after a restart of
// Explorer the icon would never come back. The calls are looked up, so
// that the program still starts on XP, which filters nothing.
void TrayIcon::LetTaskbarCreatedThrough(HWND owner)
{
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (FARPROC filterEx = m_api.user32Function("ChangeWindowMessageFilterEx"))
        FunctionAs<FilterExFn>(filterEx)(owner, taskbarCreated, kMessageFilterAllow, nullptr);
    else if (FARPROC filter = m_api.user32Function("ChangeWindowMessageFilter"))
        FunctionAs<FilterFn>(filter)(taskbarCreated, kMessageFilterAdd);
}

bool TrayIcon::AddAgain()
{
    if (m_api.notifyIcon(NIM_ADD, &m_record))
        return true;
    // An add that timed out while the shell was busy may still have added
    // the icon, and one already there cannot be added: a modify without
    // flags tells whether the shell holds it.
    FullNotifyIconData probe = m_record;
    probe.uFlags = 0;
    return m_api.notifyIcon(NIM_MODIFY, &probe) != FALSE;
}

void TrayIcon::Remove()
{
    m_api.notifyIcon(NIM_DELETE, &m_record);
}

// The shell shows the small-icon size (16 px at 100 %, 32 at 200 %) of the
// taskbar's screen, which need not be the system's DPI since Windows 8.1.
SIZE TrayIcon::ShownSize() const
{
    const auto dpiFor = FunctionAs<DpiForWindowFn>(m_api.user32Function("GetDpiForWindow"));
    const auto metricFor = FunctionAs<MetricForDpiFn>(m_api.user32Function("GetSystemMetricsForDpi"));
    const UINT dpi = dpiFor != nullptr ? dpiFor(FindWindowA("Shell_TrayWnd", nullptr)) : 0;
    if (dpi != 0 && metricFor != nullptr)
        return {metricFor(SM_CXSMICON, dpi), metricFor(SM_CYSMICON, dpi)};
    return {m_api.systemMetric(SM_CXSMICON), m_api.systemMetric(SM_CYSMICON)};
}

// The image drawn for that size, not the 32 px one shrunk or blown up.
HICON TrayIcon::LoadAt(SIZE size) const
{
    return static_cast<HICON>(LoadImageA(g_moduleRecord.ModuleInstance(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON,
                                         size.cx, size.cy, LR_DEFAULTCOLOR));
}

void TrayIcon::FollowTaskbarDpi()
{
    if (m_record.hIcon == nullptr)
        return;
    const SIZE size = ShownSize();
    if (size.cx == m_iconSize.cx && size.cy == m_iconSize.cy)
        return;
    HICON icon = LoadAt(size);
    if (icon == nullptr)
        return;
    HICON earlier = m_record.hIcon;
    m_record.hIcon = icon;
    m_iconSize = size;
    FullNotifyIconData change = m_record;
    change.uFlags = NIF_ICON;
    m_api.notifyIcon(NIM_MODIFY, &change);
    DestroyIcon(earlier);
}
