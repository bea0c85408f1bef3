#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"

// The About box with the maker's details.
class CABOUTDlg : public CDialogImpl<CABOUTDlg>,
                  public CCtrlHollowColor<CABOUTDlg, 0x408040, 0xD7F1D7>,
                  public CPaintBkgnd<CABOUTDlg, 0xF3F2F0>
{
public:
    enum { IDD = IDD_ABOUTBOX };

    ~CABOUTDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    LRESULT OnInitDialog();
    LRESULT OnClose(WORD id);
};
