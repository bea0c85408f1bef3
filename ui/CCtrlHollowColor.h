#pragma once
#include <windows.h>

// Text of static controls and buttons in one colour, drawn transparently
// over whatever the dialog painted behind it, so it needs no background of
// its own: of the colour pair it takes, as CCtrlColor does, it draws with
// the text colour.
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

    HBRUSH Brush() const { return m_brush; }

protected:
    // Every mixin gives its brush back; for the stock one that is a no-op.
    ~CCtrlHollowColor() { DeleteObject(m_brush); }

private:
    HBRUSH m_brush;
};
