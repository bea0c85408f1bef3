#include <gtest/gtest.h>

#include <vector>

#include "panel/PanelMessages.h"
#include "panel/TrayIcon.h"

namespace {

// A shell that records the record size of each call, on a Windows of the
// version under test.
DWORD g_version;
std::vector<DWORD> g_sizes;

BOOL WINAPI RecordingNotifyIcon(DWORD, PNOTIFYICONDATAA record)
{
    g_sizes.push_back(record->cbSize);
    return TRUE;
}

DWORD WINAPI FakeVersion()
{
    return g_version;
}

const TrayShellApi kFakeShell = {&RecordingNotifyIcon, &FakeVersion};

struct Windows
{
    const char* name;
    DWORD version;  // GetVersion: major in the low byte, minor in the next
    DWORD recordSize;
};

void PrintTo(const Windows& windows, std::ostream* out)
{
    *out << windows.name;
}

class TrayIconRecordSize : public testing::TestWithParam<Windows>
{
};

TEST_P(TrayIconRecordSize, AddsAndRemovesWithTheRecordThatWindowsTakes)
{
    g_version = GetParam().version;
    g_sizes.clear();
    TrayIcon icon(kFakeShell);
    icon.Add(nullptr);
    icon.Remove();
    EXPECT_EQ((std::vector<DWORD>{GetParam().recordSize, GetParam().recordSize}), g_sizes);
    EXPECT_EQ(kTrayIconId, icon.Record().uID);
}

INSTANTIATE_TEST_SUITE_P(Versions, TrayIconRecordSize,
                         testing::Values(Windows{"XP", 0x0105, kXpNotifyIconDataSize},
                                         Windows{"Server2003", 0x0205, kXpNotifyIconDataSize},
                                         Windows{"Vista", 0x0006, sizeof(FullNotifyIconData)},
                                         Windows{"Windows10", 0x000A, sizeof(FullNotifyIconData)}),
                         [](const testing::TestParamInfo<Windows>& param) { return std::string(param.param.name); });

}  // namespace
