#include "ui/ImageStrip.h"

#include "framework/ModuleRecord.h"

namespace {

HIMAGELIST LoadAsItIs(UINT stripId, SIZE face)
{
    return ImageList_LoadImageA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(stripId), face.cx, 0, CLR_NONE,
                                IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

HIMAGELIST Resampled(UINT stripId, SIZE face, SIZE drawnFace, const ScaledPicture::ResampleApi& api)
{
    auto strip = static_cast<HBITMAP>(LoadImageA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(stripId),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP shape = {};
    if (strip == nullptr || GetObjectW(strip, sizeof shape, &shape) == 0 || shape.bmWidth < face.cx) {
        DeleteObject(strip);
        return nullptr;
    }
    const int faces = shape.bmWidth / face.cx;
    HBITMAP copy = ScaledPicture::Resample(strip, {faces * face.cx, face.cy}, {faces * drawnFace.cx, drawnFace.cy},
                                           api);
    DeleteObject(strip);
    HIMAGELIST list = copy != nullptr ? ImageList_Create(drawnFace.cx, drawnFace.cy, ILC_COLOR32, faces, 0) : nullptr;
    if (list != nullptr && ImageList_Add(list, copy, nullptr) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(copy);
    return list;
}

}  // namespace

HIMAGELIST LoadImageStrip(UINT stripId, SIZE face, SIZE drawnFace, const ScaledPicture::ResampleApi& api)
{
    const bool ownSize = drawnFace.cx == face.cx && drawnFace.cy == face.cy;
    // A face of no pixels would be a strip of nothing.
    if (ownSize || drawnFace.cx <= 0 || drawnFace.cy <= 0 || face.cx <= 0 || face.cy <= 0)
        return LoadAsItIs(stripId, face);
    HIMAGELIST list = Resampled(stripId, face, drawnFace, api);
    return list != nullptr ? list : LoadAsItIs(stripId, face);
}
