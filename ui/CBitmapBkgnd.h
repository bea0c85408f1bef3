#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"
#include "framework/ModuleRecord.h"
#include "ui/ScaledPicture.h"

// Paints dialog T from a bitmap resource over its whole client area: 1:1
// where the client area has about the picture's size, stretched to fill it
// where the dialog units made it larger or smaller (see ScaledPicture).
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
        RECT client;
        GetClientRect(static_cast<T*>(this)->m_hWnd, &client);
        m_picture.Draw(reinterpret_cast<HDC>(wParam), m_bitmap, m_size, {client.right, client.bottom});
        result = 1;
        return TRUE;
    }

    SIZE PictureSize() const { return m_size; }
    HBITMAP Bitmap() const { return m_bitmap; }

protected:
    ~CBitmapBkgnd() { DeleteObject(m_bitmap); }

private:
    static SIZE SizeOf(HBITMAP bitmap)
    {
        BITMAP shape = {};
        if (bitmap == nullptr || GetObjectW(bitmap, sizeof shape, &shape) == 0)
            return {0, 0};
        return {shape.bmWidth, shape.bmHeight};
    }

    HBITMAP m_bitmap;
    SIZE m_size;
    ScaledPicture m_picture;
};
