#include "support/MessageNames.h"

#include <commctrl.h>

#include <cstdio>

std::string MessageName(UINT message)
{
    struct Name
    {
        UINT message;
        const char* name;
    };
    static const Name names[] = {
        {WM_CREATE, "WM_CREATE"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_SETFONT, "WM_SETFONT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_PAINT, "WM_PAINT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_DRAWITEM, "WM_DRAWITEM"},
        {WM_INITDIALOG, "WM_INITDIALOG"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_UPDATEUISTATE, "WM_UPDATEUISTATE"},
        {WM_CTLCOLORMSGBOX, "WM_CTLCOLORMSGBOX"},
        {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"},
        {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
        {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
        {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
        {WM_CTLCOLORSCROLLBAR, "WM_CTLCOLORSCROLLBAR"},
        {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
        {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
        {WM_RBUTTONUP, "WM_RBUTTONUP"},
        {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
        {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
        {WM_MBUTTONUP, "WM_MBUTTONUP"},
        {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
        {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
        {WM_XBUTTONDOWN, "WM_XBUTTONDOWN"},
        {WM_XBUTTONUP, "WM_XBUTTONUP"},
        {WM_XBUTTONDBLCLK, "WM_XBUTTONDBLCLK"},
        {WM_MOUSEHWHEEL, "WM_MOUSEHWHEEL"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
        {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
        {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
        {TTM_ACTIVATE, "TTM_ACTIVATE"},
        {TTM_ADDTOOLA, "TTM_ADDTOOLA"},
        {TTM_RELAYEVENT, "TTM_RELAYEVENT"},
    };
    for (const Name& name : names)
        if (name.message == message)
            return name.name;
    if (message >= WM_APP && message < WM_APP + 16)
        return "WM_APP+" + std::to_string(message - WM_APP);
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", message);
    return text;
}
