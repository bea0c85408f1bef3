#pragma once
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CBitmapBkgnd.h"

// How the flag window's thread ends the window's run at the program's end.
// The window enters itself here when it initialises; the thread sets
// `requested` and posts WM_FLAG_END, which the window honours only then.
struct FlagWindowStop
{
    bool Requested() { return InterlockedCompareExchange(&requested, 0, 0) != 0; }

    HWND volatile window;
    LONG volatile requested;
};

// The always-on-top 内 picture in the top-right corner of the screen, on a
// thread of its own. It decides nothing: it finds the main dialog by its
// caption and sends it one of the private messages. Its run takes a
// FlagWindowStop as its initialisation parameter (none: it never ends).
class CNETFLAGDlg : public CDialogImpl<CNETFLAGDlg>, public CBitmapBkgnd<CNETFLAGDlg, IDB_NETFLAG>
{
public:
    enum { IDD = IDD_NETFLAG };

    ~CNETFLAGDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    LRESULT OnInitDialog(LPARAM stop);
    LRESULT OnDisplayChange();
    LRESULT OnEndRequest();
    // The mouse entries answer with the handled flag of the current
    // message, which a handler could clear to pass the message on.
    BOOL OnMouse(LRESULT (CNETFLAGDlg::*handler)(), LRESULT& result);
    LRESULT StartDrag();
    LRESULT ShowPanel();
    LRESULT ShowMenu();
    static LRESULT SendToPanel(UINT message);

    FlagWindowStop* m_stop = nullptr;
    // Where the flag was last put in the screen's top-right corner.
    POINT m_corner = {0, 0};
};

// The one flag window object, defined with the other process-wide objects.
extern CNETFLAGDlg g_netFlagDlg;
