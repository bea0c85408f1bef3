#pragma once
#include <windows.h>

// A picture drawn to fill an area of any size. The dialogs that carry a
// picture are sized in dialog units, so at 125 % or 150 % scaling, or with
// another dialog font, their client areas outgrow the picture while their
// controls move with the dialog units: stretched over the whole area, the
// picture's bands and boxes stay where the controls expect them.
//
// At 100 % the dialog font gives the area a few pixels more or less than
// the picture was drawn for (another face, other hinting): stretching by so
// little would only soften it. An area within 1/16 of the picture's size
// gets the picture 1:1, pixel for pixel, from its top-left corner, its last
// column, row and corner pixel continued where the area is larger. Any
// other size is resampled once (halftone, so the rounded frames stay
// smooth) and kept ready in a memory context of its own; later draws of
// that size only copy it. A resample that fails (short of GDI resources)
// leaves the picture drawn 1:1 and is tried again at the next draw.
class ScaledPicture
{
public:
    // The GDI calls that make the resampled copy; tests replace them.
    struct ResampleApi
    {
        HBITMAP(WINAPI* createDibSection)(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                          DWORD offset);
        BOOL(WINAPI* stretchBlt)(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                                 int sourceY, int sourceWidth, int sourceHeight, DWORD rop);
    };
    static const ResampleApi kGdiResampleApi;

    explicit ScaledPicture(const ResampleApi& api = kGdiResampleApi) : m_api(api) {}
    ~ScaledPicture();
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // Draws `picture`, `pictureSize` pixels, into [0, area) of `target`;
    // 1:1 near its own size only when `nearOwnSizeAsItIs` (a copy drawn for
    // a larger size is resampled to any other size, so that it stays whole).
    void Draw(HDC target, HBITMAP picture, SIZE pictureSize, SIZE area, bool nearOwnSizeAsItIs);

    // The size the picture is drawn at over `area`: its own or the area's.
    static SIZE DrawnSize(SIZE pictureSize, SIZE area);

    // A new 32-bpp bitmap of `size` holding `picture` resampled (halftone);
    // null when GDI cannot make it. Pictures drawn beside this one (the
    // buttons' faces) are scaled the same way.
    static HBITMAP Resample(HBITMAP picture, SIZE pictureSize, SIZE size, const ResampleApi& api = kGdiResampleApi);

private:
    // A memory context holding the picture resampled to `area`, made anew
    // when the size changes; null when it cannot be made.
    HDC Resampled(HBITMAP picture, SIZE pictureSize, SIZE area);
    static void DrawOwnSize(HDC target, HBITMAP picture, SIZE pictureSize, SIZE area);
    void Forget();

    const ResampleApi& m_api;
    HDC m_resampledDc = nullptr;
    HBITMAP m_resampled = nullptr;
    HGDIOBJ m_replaced = nullptr;
    SIZE m_resampledSize = {0, 0};
};
