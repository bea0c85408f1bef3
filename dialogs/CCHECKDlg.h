#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"

// Detection settings: whether start-up checks the optical drives. Shows the
// stored choice each time it opens; OK stores the new one, Cancel nothing.
class CCHECKDlg : public CDialogImpl<CCHECKDlg>,
                  public CCtrlHollowColor<CCHECKDlg, 0x408040, 0xD7F1D7>,
                  public CPaintBkgnd<CCHECKDlg, 0xF3F2F0>
{
public:
    enum { IDD = IDD_CHECK };

    ~CCHECKDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    LRESULT OnInitDialog();
    LRESULT OnOk();
    LRESULT OnCancel();
};
