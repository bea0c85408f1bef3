#include <gtest/gtest.h>

#include "framework/CDialogImpl.h"
#include "framework/TestDialogs.h"
#include "support/Pump.h"

namespace {

class EndAtOnceDlg : public CDialogImpl<EndAtOnceDlg>
{
public:
    enum { IDD = IDD_TEST_PLAIN };
    BOOL RouteMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        if (message == WM_INITDIALOG) {
            seenWindow = m_hWnd;
            PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            result = TRUE;
            return TRUE;
        }
        if (message == WM_COMMAND) {
            EndDialog(m_hWnd, 42);
            result = 0;
            return TRUE;
        }
        return FALSE;
    }
    HWND seenWindow = nullptr;
};

TEST(Dispatch, RunModalBindsAndUnbinds)
{
    EndAtOnceDlg dialog;
    EXPECT_EQ(42, dialog.RunModal(nullptr));
    EXPECT_NE(nullptr, dialog.seenWindow);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

}  // namespace
