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
// that size only copy it.
class ScaledPicture
{
public:
    ScaledPicture() = default;
    ~ScaledPicture();
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // Draws `picture`, `pictureSize` pixels, into [0, area) of `target`.
    void Draw(HDC target, HBITMAP picture, SIZE pictureSize, SIZE area);

    // The size the picture is drawn at over `area`: its own or the area's.
    static SIZE DrawnSize(SIZE pictureSize, SIZE area);

private:
    // A memory context holding the picture resampled to `area`, made anew
    // when the size changes; null when it cannot be made.
    HDC Resampled(HBITMAP picture, SIZE pictureSize, SIZE area);
    void Forget();

    HDC m_resampledDc = nullptr;
    HBITMAP m_resampled = nullptr;
    HGDIOBJ m_replaced = nullptr;
    SIZE m_resampledSize = {0, 0};
};
