#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"
#include "framework/ModuleRecord.h"
#include "ui/ScaledPicture.h"

// Paints dialog T from a bitmap resource over its whole client area: 1:1
// where the client area has about the picture's size, stretched to fill it
// where the dialog units made it larger or smaller (see ScaledPicture).
// Copies of the picture drawn for larger sizes (t_largerIds, smallest
// first) serve larger areas: the smallest that covers the area, shrunk, or
// the largest, so that nothing is blown up more than it must be.
template <class T, UINT t_bitmapId, UINT... t_largerIds>
class CBitmapBkgnd : public CMessageMap
{
public:
    CBitmapBkgnd() : m_bitmaps{Load(t_bitmapId), Load(t_largerIds)...}
    {
        for (int i = 0; i < kPictures; ++i)
            m_sizes[i] = SizeOf(m_bitmaps[i]);
    }
    CBitmapBkgnd(const CBitmapBkgnd&) = delete;
    CBitmapBkgnd& operator=(const CBitmapBkgnd&) = delete;

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId) override
    {
        // Without its picture the dialog's next mixin or the default
        // processing paints a solid background instead.
        if (mapId != 0 || message != WM_ERASEBKGND || m_sizes[0].cx == 0 || m_sizes[0].cy == 0)
            return FALSE;
        RECT client;
        GetClientRect(static_cast<T*>(this)->m_hWnd, &client);
        const SIZE area = {client.right, client.bottom};
        const int chosen = PictureFor(area);
        m_picture.Draw(reinterpret_cast<HDC>(wParam), m_bitmaps[chosen], m_sizes[chosen], area, chosen == 0);
        result = 1;
        return TRUE;
    }

    SIZE PictureSize() const { return m_sizes[0]; }
    HBITMAP Bitmap() const { return m_bitmaps[0]; }

protected:
    ~CBitmapBkgnd()
    {
        for (HBITMAP bitmap : m_bitmaps)
            DeleteObject(bitmap);
    }

private:
    static constexpr int kPictures = 1 + sizeof...(t_largerIds);

    // The picture itself near its own size; otherwise the smallest copy
    // that covers the area, or the largest there is.
    int PictureFor(SIZE area) const
    {
        const SIZE drawn = ScaledPicture::DrawnSize(m_sizes[0], area);
        if (drawn.cx == m_sizes[0].cx && drawn.cy == m_sizes[0].cy)
            return 0;
        int largest = 0;
        for (int i = 0; i < kPictures; ++i) {
            if (m_sizes[i].cx == 0 || m_sizes[i].cy == 0)
                continue;
            if (m_sizes[i].cx >= area.cx && m_sizes[i].cy >= area.cy)
                return i;
            largest = i;
        }
        return largest;
    }

    static HBITMAP Load(UINT id) { return LoadBitmapA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(id)); }

    static SIZE SizeOf(HBITMAP bitmap)
    {
        BITMAP shape = {};
        if (bitmap == nullptr || GetObjectW(bitmap, sizeof shape, &shape) == 0)
            return {0, 0};
        return {shape.bmWidth, shape.bmHeight};
    }

    HBITMAP m_bitmaps[kPictures];
    SIZE m_sizes[kPictures];
    ScaledPicture m_picture;
};
