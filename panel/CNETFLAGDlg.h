#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CBitmapBkgnd.h"

// The always-on-top 内 picture in the top-right corner of the screen, on a
// thread of its own. It decides nothing: it finds the main dialog by its
// caption and sends it one of the private messages.
class CNETFLAGDlg : public CDialogImpl<CNETFLAGDlg>, public CBitmapBkgnd<CNETFLAGDlg, IDB_NETFLAG>
{
public:
    enum { IDD = IDD_NETFLAG };

    ~CNETFLAGDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    LRESULT OnInitDialog();
    void StartDrag();
    static void SendToPanel(UINT message);
};
