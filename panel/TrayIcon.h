#pragma once
#include <windows.h>
#include <shellapi.h>

// The shell calls the tray icon makes; tests replace them.
struct TrayShellApi
{
    BOOL(WINAPI* notifyIcon)(DWORD message, PNOTIFYICONDATAA record);
    DWORD(WINAPI* windowsVersion)();  // as GetVersion returns it
    // A function of user32.dll by name; null where this Windows lacks it.
    FARPROC(WINAPI* user32Function)(LPCSTR name);
    int(WINAPI* systemMetric)(int index);  // as GetSystemMetrics
};

extern const TrayShellApi kSystemTrayShellApi;

// The record as Vista's shell takes it, 508 bytes on 32-bit Windows. A
// header that targets XP ends the record before Vista's hBalloonIcon.
#if NTDDI_VERSION >= NTDDI_VISTA
using FullNotifyIconData = NOTIFYICONDATAA;
constexpr DWORD kXpNotifyIconDataSize = NOTIFYICONDATAA_V3_SIZE;
#else
struct FullNotifyIconData : NOTIFYICONDATAA
{
    HICON hBalloonIcon;
};
constexpr DWORD kXpNotifyIconDataSize = sizeof(NOTIFYICONDATAA);
#endif

#if !defined(_WIN64)
static_assert(sizeof(FullNotifyIconData) == 508, "the full record");
static_assert(kXpNotifyIconDataSize == 504, "the record as XP's shell knows it");
#endif

// The notification-area icon of the main dialog: the red 内 at the size the
// shell shows it at the taskbar's DPI, no tooltip, callbacks as
// WM_TRAY_NOTIFY. Added, and added again, with the same record it is
// removed with.
class TrayIcon
{
public:
    explicit TrayIcon(const TrayShellApi& api = kSystemTrayShellApi) : m_api(api) {}
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // True when the shell holds the icon afterwards. Also lets the shell's
    // "TaskbarCreated" through to `owner` when it runs elevated.
    bool Add(HWND owner);
    // The same record once more, for a shell that refused or lost it.
    bool AddAgain();
    void Remove();
    // The image drawn for the small-icon size at the taskbar's DPI now, when
    // that size has changed (another scaling), in the shell's icon too.
    void FollowTaskbarDpi();

    const FullNotifyIconData& Record() const { return m_record; }

private:
    void LetTaskbarCreatedThrough(HWND owner);
    SIZE ShownSize() const;
    HICON LoadAt(SIZE size) const;

    const TrayShellApi& m_api;
    FullNotifyIconData m_record = {};
    SIZE m_iconSize = {0, 0};
};
