#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"
#include "framework/ModuleRecord.h"

// Paints dialog T from a bitmap resource, 1:1 from the client area's
// top-left corner: no stretching, and nothing beyond the bitmap's edges.
template <class T, UINT t_bitmapId>
class CBitmapBkgnd : public CMessageMap
{
public:
    CBitmapBkgnd()
        : m_bitmap(LoadBitmapA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(t_bitmapId)))
    {
    }
    CBitmapBkgnd(const CBitmapBkgnd&) = delete;
    CBitmapBkgnd& operator=(const CBitmapBkgnd&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0 || message != WM_ERASEBKGND)
            return FALSE;
        HDC target = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(static_cast<T*>(this)->m_hWnd, &client);
        HDC memory = CreateCompatibleDC(target);
        HGDIOBJ replaced = SelectObject(memory, m_bitmap);
        BitBlt(target, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
        SelectObject(memory, replaced);
        DeleteDC(memory);
        result = 1;
        return TRUE;
    }

    HBITMAP m_bitmap;

protected:
    ~CBitmapBkgnd() { DeleteObject(m_bitmap); }
};
