#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/PanelMessages.h"
#include "panel/TrayIcon.h"

namespace {

// A shell that records the record size of each call, on a Windows of the
// version under test, with the message filter calls that it has.
struct Windows
{
    const char* name;
    DWORD version;  // GetVersion: major in the low byte, minor in the next
    DWORD recordSize;
    bool filter;    // ChangeWindowMessageFilter, from Vista on
    bool filterEx;  // ChangeWindowMessageFilterEx, from 7 on
    int smallIcon;  // the small-icon size of a scaling it offers
};

const Windows* g_windows;
std::vector<DWORD> g_sizes;
std::vector<std::string> g_filtered;
std::vector<std::pair<DWORD, UINT>> g_changes;  // modifies: the message, its flags
UINT g_taskbarDpi;

BOOL WINAPI RecordingNotifyIcon(DWORD message, PNOTIFYICONDATAA record)
{
    if (message == NIM_MODIFY)
        g_changes.push_back({message, record->uFlags});
    else
        g_sizes.push_back(record->cbSize);
    return TRUE;
}

// Windows 10's: the taskbar's DPI, and the small-icon size at a DPI.
UINT WINAPI FakeDpiForWindow(HWND)
{
    return g_taskbarDpi;
}

int WINAPI FakeMetricForDpi(int index, UINT dpi)
{
    return index == SM_CXSMICON || index == SM_CYSMICON ? MulDiv(16, static_cast<int>(dpi), 96) : 0;
}

DWORD WINAPI FakeVersion()
{
    return g_windows->version;
}

BOOL WINAPI FakeFilterEx(HWND window, UINT message, DWORD action, void* status)
{
    g_filtered.push_back("Ex " + std::to_string(reinterpret_cast<UINT_PTR>(window)) + " " + std::to_string(message) +
                         " " + std::to_string(action) + (status == nullptr ? "" : " status"));
    return TRUE;
}

BOOL WINAPI FakeFilter(UINT message, DWORD flag)
{
    g_filtered.push_back("old " + std::to_string(message) + " " + std::to_string(flag));
    return TRUE;
}

FARPROC WINAPI FakeUser32Function(LPCSTR name)
{
    if (std::string(name) == "ChangeWindowMessageFilterEx" && g_windows->filterEx)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeFilterEx));
    if (std::string(name) == "ChangeWindowMessageFilter" && g_windows->filter)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeFilter));
    // Windows 10 has the DPI calls, and so has 11.
    if (std::string(name) == "GetDpiForWindow" && g_windows->version == 0x000A)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeDpiForWindow));
    if (std::string(name) == "GetSystemMetricsForDpi" && g_windows->version == 0x000A)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeMetricForDpi));
    return nullptr;
}

int WINAPI FakeMetric(int index)
{
    return index == SM_CXSMICON || index == SM_CYSMICON ? g_windows->smallIcon : GetSystemMetrics(index);
}

const TrayShellApi kFakeShell = {&RecordingNotifyIcon, &FakeVersion, &FakeUser32Function, &FakeMetric};

void PrintTo(const Windows& windows, std::ostream* out)
{
    *out << windows.name;
}

class TrayIconOnWindows : public testing::TestWithParam<Windows>
{
};

// The record that each Windows takes, an icon of the size its shell shows
// at that scaling (loaded once, however often it is added, and given back
// at the end), and an elevated owner that hears a restarted shell: the
// newest filter call Windows has, once, for the owner. Where Windows tells
// the taskbar's DPI, a new one brings the image drawn for its size.
TEST_P(TrayIconOnWindows, AddsAndRemovesWithTheRecordThatWindowsTakesAndLetsTheShellThrough)
{
    const Windows& windows = GetParam();
    g_windows = &windows;
    g_sizes.clear();
    g_filtered.clear();
    g_changes.clear();
    g_taskbarDpi = static_cast<UINT>(MulDiv(96, windows.smallIcon, 16));
    const auto widthOf = [](HICON icon) {
        ICONINFO image = {};
        BITMAP mask = {};
        if (!GetIconInfo(icon, &image))
            return 0;
        GetObjectA(image.hbmMask, sizeof mask, &mask);
        DeleteObject(image.hbmMask);
        DeleteObject(image.hbmColor);
        return static_cast<int>(mask.bmWidth);
    };
    HICON first = nullptr;
    std::vector<std::string> filtered;
    {
        TrayIcon icon(kFakeShell);
        HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4711));
        icon.Add(owner);
        icon.AddAgain();
        icon.Remove();
        EXPECT_EQ((std::vector<DWORD>{windows.recordSize, windows.recordSize, windows.recordSize}), g_sizes);
        EXPECT_EQ(kTrayIconId, icon.Record().uID);
        first = icon.Record().hIcon;
        EXPECT_EQ(windows.smallIcon, widthOf(first));
        filtered = g_filtered;
        icon.Add(owner);
        EXPECT_EQ(first, icon.Record().hIcon) << "loaded again";
        g_taskbarDpi *= 2;
        icon.FollowTaskbarDpi();
        const bool follows = windows.version == 0x000A;
        EXPECT_EQ(follows ? 2 * windows.smallIcon : windows.smallIcon, widthOf(icon.Record().hIcon));
        EXPECT_EQ(follows ? 1u : 0u, g_changes.size());
        EXPECT_TRUE(!follows || g_changes[0].second == NIF_ICON);
        EXPECT_EQ(follows, widthOf(first) == 0) << "the earlier image given back";
        first = icon.Record().hIcon;
    }
    EXPECT_EQ(0, widthOf(first)) << "the image given back at the end";
    const std::string taskbarCreated = std::to_string(RegisterWindowMessageA("TaskbarCreated"));
    std::vector<std::string> expected;
    if (windows.filterEx)
        expected = {"Ex " + std::to_string(0x4711) + " " + taskbarCreated + " 1"};
    else if (windows.filter)
        expected = {"old " + taskbarCreated + " 1"};
    EXPECT_EQ(expected, filtered);
}

INSTANTIATE_TEST_SUITE_P(Versions, TrayIconOnWindows,
                         testing::Values(Windows{"XP", 0x0105, kXpNotifyIconDataSize, false, false, 16},
                                         Windows{"Server2003", 0x0205, kXpNotifyIconDataSize, false, false, 20},
                                         Windows{"Vista", 0x0006, sizeof(FullNotifyIconData), true, false, 24},
                                         Windows{"Windows10", 0x000A, sizeof(FullNotifyIconData), true, true, 32},
                                         Windows{"Windows11", 0x000A, sizeof(FullNotifyIconData), true, true, 48}),
                         [](const testing::TestParamInfo<Windows>& param) { return std::string(param.param.name); });

}  // namespace
