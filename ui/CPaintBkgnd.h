#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"

// Fills the whole client area of dialog T with one colour on every erase.
template <class T, COLORREF t_background>
class CPaintBkgnd : public CMessageMap
{
public:
    CPaintBkgnd() : m_brush(CreateSolidBrush(t_background)) {}
    CPaintBkgnd(const CPaintBkgnd&) = delete;
    CPaintBkgnd& operator=(const CPaintBkgnd&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0 || message != WM_ERASEBKGND)
            return FALSE;
        RECT client;
        GetClientRect(static_cast<T*>(this)->m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_brush);
        result = 1;
        return TRUE;
    }

    HBRUSH Brush() const { return m_brush; }

protected:
    ~CPaintBkgnd() { DeleteObject(m_brush); }

private:
    HBRUSH m_brush;
};
