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

BOOL WINAPI RecordingNotifyIcon(DWORD, PNOTIFYICONDATAA record)
{
    g_sizes.push_back(record->cbSize);
    return TRUE;
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
// at that scaling, and an elevated owner that hears a restarted shell: the
// newest filter call Windows has, once, for the owner.
TEST_P(TrayIconOnWindows, AddsAndRemovesWithTheRecordThatWindowsTakesAndLetsTheShellThrough)
{
    const Windows& windows = GetParam();
    g_windows = &windows;
    g_sizes.clear();
    g_filtered.clear();
    TrayIcon icon(kFakeShell);
    HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4711));
    icon.Add(owner);
    icon.AddAgain();
    icon.Remove();
    EXPECT_EQ((std::vector<DWORD>{windows.recordSize, windows.recordSize, windows.recordSize}), g_sizes);
    EXPECT_EQ(kTrayIconId, icon.Record().uID);
    ICONINFO image = {};
    ASSERT_TRUE(GetIconInfo(icon.Record().hIcon, &image));
    BITMAP mask = {};
    GetObjectA(image.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(windows.smallIcon, mask.bmWidth);
    DeleteObject(image.hbmMask);
    DeleteObject(image.hbmColor);
    const std::string taskbarCreated = std::to_string(RegisterWindowMessageA("TaskbarCreated"));
    std::vector<std::string> expected;
    if (windows.filterEx)
        expected = {"Ex " + std::to_string(0x4711) + " " + taskbarCreated + " 1"};
    else if (windows.filter)
        expected = {"old " + taskbarCreated + " 1"};
    EXPECT_EQ(expected, g_filtered);
}

INSTANTIATE_TEST_SUITE_P(Versions, TrayIconOnWindows,
                         testing::Values(Windows{"XP", 0x0105, kXpNotifyIconDataSize, false, false, 16},
                                         Windows{"Server2003", 0x0205, kXpNotifyIconDataSize, false, false, 20},
                                         Windows{"Vista", 0x0006, sizeof(FullNotifyIconData), true, false, 24},
                                         Windows{"Windows10", 0x000A, sizeof(FullNotifyIconData), true, true, 32},
                                         Windows{"Windows11", 0x000A, sizeof(FullNotifyIconData), true, true, 48}),
                         [](const testing::TestParamInfo<Windows>& param) { return std::string(param.param.name); });

}  // namespace
