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

// The screens the flag stands on; tests give it others.
struct FlagScreenApi
{
    HMONITOR(WINAPI* monitorFromPoint)(POINT point, DWORD flags);
    BOOL(WINAPI* monitorInfo)(HMONITOR monitor, LPMONITORINFO info);
    int(WINAPI* systemMetric)(int index);
};

extern const FlagScreenApi kSystemFlagScreenApi;

// The always-on-top 内 picture in the top-right corner of the screen, on a
// thread of its own. It decides nothing: it finds the main dialog by its
// caption and sends it one of the private messages. Its run takes a
// FlagWindowStop as its initialisation parameter (none: it never ends).
// Above 100 % its picture comes from the copy of the flag drawn for the
// size nearest above its own, so that the 内 stays sharp.
class CNETFLAGDlg : public CDialogImpl<CNETFLAGDlg>,
                    public CBitmapBkgnd<CNETFLAGDlg, IDB_NETFLAG, IDB_NETFLAG_96, IDB_NETFLAG_144>
{
public:
    enum { IDD = IDD_NETFLAG };

    explicit CNETFLAGDlg(const FlagScreenApi& screens = kSystemFlagScreenApi) : m_screens(screens) {}
    ~CNETFLAGDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

private:
    LRESULT OnInitDialog(LPARAM stop);
    LRESULT OnDisplayChange();
    LRESULT OnMoving(bool moving);
    LRESULT OnDpiChanged(WPARAM dpis, LPARAM suggested);
    void KeepInView();
    bool InCorner(const RECT& own) const;
    bool Whole(const RECT& own) const;
    void PutInCorner(HMONITOR monitor, const RECT& own);
    LRESULT OnEndRequest();
    // The mouse entries answer with the handled flag of the current
    // message, which a handler could clear to pass the message on.
    BOOL OnMouse(LRESULT (CNETFLAGDlg::*handler)(), LRESULT& result);
    LRESULT StartDrag();
    LRESULT ShowPanel();
    LRESULT ShowMenu();
    static LRESULT SendToPanel(UINT message);

    const FlagScreenApi& m_screens;
    FlagWindowStop* m_stop = nullptr;
    // Where the flag was last put in the screen's top-right corner.
    POINT m_corner = {0, 0};
    // The user is dragging it; the screen changed meanwhile.
    bool m_moving = false;
    bool m_screenChangedWhileMoving = false;
};

// The one flag window object, defined with the other process-wide objects.
extern CNETFLAGDlg g_netFlagDlg;
