#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"
#include "ui/FittedFont.h"
#include "ui/Palette.h"

// Detection settings: whether start-up checks the optical drives. Shows the
// stored choice each time it opens; OK stores the new one, Cancel nothing.
class CCHECKDlg : public CDialogImpl<CCHECKDlg>,
                  public CCtrlHollowColor<CCHECKDlg, kGreenText, kPaleGreen>,
                  public CPaintBkgnd<CCHECKDlg, kLightGrey>
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

    // Its texts' font where the dialog's own is too large for them.
    FittedFont m_textFont;
};

// The one settings dialog object, defined with the other process-wide objects.
extern CCHECKDlg g_checkDlg;
