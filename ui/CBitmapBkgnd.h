#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"
#include "framework/ModuleRecord.h"

// Paints dialog T from a bitmap resource, 1:1 from the client area's
// top-left corner, without stretching. A dialog sized in dialog units grows
// past the picture at a higher DPI or with another dialog font; there the
// picture's last column goes on to the right, its last row downward and its
// corner pixel into the corner, so its edge bands stay seamless.
template <class T, UINT t_bitmapId>
class CBitmapBkgnd : public CMessageMap
{
public:
    CBitmapBkgnd()
        : m_bitmap(LoadBitmapA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(t_bitmapId))),
          m_size(SizeOf(m_bitmap))
    {
    }
    CBitmapBkgnd(const CBitmapBkgnd&) = delete;
    CBitmapBkgnd& operator=(const CBitmapBkgnd&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId) override
    {
        // Without its picture the dialog's next mixin or the default
        // processing paints a solid background instead.
        if (mapId != 0 || message != WM_ERASEBKGND || m_size.cx == 0 || m_size.cy == 0)
            return FALSE;
        HDC target = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(static_cast<T*>(this)->m_hWnd, &client);
        const int width = client.right - client.left;
        const int height = client.bottom - client.top;
        const int right = width < m_size.cx ? width : m_size.cx;
        const int bottom = height < m_size.cy ? height : m_size.cy;
        const int lastX = m_size.cx - 1;
        const int lastY = m_size.cy - 1;
        HDC memory = CreateCompatibleDC(target);
        HGDIOBJ replaced = SelectObject(memory, m_bitmap);
        BitBlt(target, 0, 0, right, bottom, memory, 0, 0, SRCCOPY);
        if (width > right)
            StretchBlt(target, right, 0, width - right, bottom, memory, lastX, 0, 1, bottom, SRCCOPY);
        if (height > bottom)
            StretchBlt(target, 0, bottom, right, height - bottom, memory, 0, lastY, right, 1, SRCCOPY);
        if (width > right && height > bottom)
            StretchBlt(target, right, bottom, width - right, height - bottom, memory, lastX, lastY, 1, 1, SRCCOPY);
        SelectObject(memory, replaced);
        DeleteDC(memory);
        result = 1;
        return TRUE;
    }

    HBITMAP m_bitmap;

protected:
    ~CBitmapBkgnd() { DeleteObject(m_bitmap); }

private:
    static SIZE SizeOf(HBITMAP bitmap)
    {
        BITMAP shape = {};
        if (bitmap == nullptr || GetObjectA(bitmap, sizeof shape, &shape) == 0)
            return {0, 0};
        return {shape.bmWidth, shape.bmHeight};
    }

    SIZE m_size;
};
