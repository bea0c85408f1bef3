#pragma once
#include <windows.h>

// Static-control text in one colour on a solid brush, which is also the
// dialog's own background brush.
template <class T, COLORREF t_text, COLORREF t_background>
class CCtrlColor
{
public:
    CCtrlColor() : m_brush(CreateSolidBrush(t_background)) {}
    CCtrlColor(const CCtrlColor&) = delete;
    CCtrlColor& operator=(const CCtrlColor&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId)
    {
        if (mapId != 0)
            return FALSE;
        switch (message) {
        case WM_CTLCOLORDLG:
            break;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            SetTextColor(reinterpret_cast<HDC>(wParam), t_text);
            break;
        default:
            return FALSE;
        }
        result = reinterpret_cast<LRESULT>(m_brush);
        return TRUE;
    }

    HBRUSH Brush() const { return m_brush; }

protected:
    ~CCtrlColor() { DeleteObject(m_brush); }

private:
    HBRUSH m_brush;
};
