#pragma once
#include <windows.h>
#include <shellapi.h>

// The notification-area icon of the main dialog: the red 内, no tooltip,
// callbacks as WM_TRAY_NOTIFY. Added once; removed with the same record.
class TrayIcon
{
public:
    void Add(HWND owner);
    void Remove();

    const NOTIFYICONDATAA& Record() const { return record_; }

private:
    NOTIFYICONDATAA record_ = {};
};

#if !defined(_WIN64)
static_assert(sizeof(NOTIFYICONDATAA) == 508, "the full record");
#endif
