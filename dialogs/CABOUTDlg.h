#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"
#include "ui/FittedFont.h"
#include "ui/Palette.h"

// The About box with the maker's details.
class CABOUTDlg : public CDialogImpl<CABOUTDlg>,
                  public CCtrlHollowColor<CABOUTDlg, kGreenText, kPaleGreen>,
                  public CPaintBkgnd<CABOUTDlg, kLightGrey>
{
public:
    enum { IDD = IDD_ABOUTBOX };

    ~CABOUTDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    // The framework's dialog base calls AfterDpiChange.
    friend class CDialogImpl<CABOUTDlg>;

    // After a change of the screen's DPI: the texts fitted anew.
    void AfterDpiChange();

    LRESULT OnInitDialog();
    LRESULT OnClose(WORD id);

    // Its texts' font where the dialog's own is too large for them.
    FittedFont m_textFont;
};

// The one About box object, defined with the other process-wide objects.
extern CABOUTDlg g_aboutDlg;
