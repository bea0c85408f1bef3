#pragma once
#include <windows.h>

// Text of static controls and buttons in one colour, drawn transparently
// over whatever the dialog painted behind it. The background colour
// argument mirrors CCtrlColor's and is not used.
template <class T, COLORREF t_text, COLORREF t_background>
class CCtrlHollowColor
{
public:
    CCtrlHollowColor() : m_brush(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))) {}
    CCtrlHollowColor(const CCtrlHollowColor&) = delete;
    CCtrlHollowColor& operator=(const CCtrlHollowColor&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId)
    {
        if (mapId != 0 || (message != WM_CTLCOLORBTN && message != WM_CTLCOLORSTATIC))
            return FALSE;
        SetTextColor(reinterpret_cast<HDC>(wParam), t_text);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        // Buttons answer 0: their brush stays the system's.
        result = message == WM_CTLCOLORSTATIC ? reinterpret_cast<LRESULT>(m_brush) : 0;
        return TRUE;
    }

    HBRUSH m_brush;

protected:
    // Deleting a stock object does nothing; the call stays for symmetry
    // with the other mixins' ownership.
    ~CCtrlHollowColor() { DeleteObject(m_brush); }
};
