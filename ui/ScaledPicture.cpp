#include "ui/ScaledPicture.h"

namespace {

// A memory device context with one bitmap selected for its lifetime.
class SelectedBitmap
{
public:
    SelectedBitmap(HDC compatible, HBITMAP bitmap)
        : m_dc(CreateCompatibleDC(compatible)), m_replaced(SelectObject(m_dc, bitmap))
    {
    }
    ~SelectedBitmap()
    {
        SelectObject(m_dc, m_replaced);
        DeleteDC(m_dc);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    HDC Dc() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_replaced;
};

HBITMAP MakeTopDown32(const ScaledPicture::ResampleApi& api, SIZE size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return api.createDibSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

const ScaledPicture::ResampleApi ScaledPicture::kGdiResampleApi = {&CreateDIBSection, &StretchBlt};

ScaledPicture::~ScaledPicture()
{
    Forget();
}

void ScaledPicture::Forget()
{
    if (m_resampledDc != nullptr) {
        SelectObject(m_resampledDc, m_replaced);
        DeleteDC(m_resampledDc);
    }
    DeleteObject(m_resampled);
    m_resampledDc = nullptr;
    m_resampled = nullptr;
    m_resampledSize = {0, 0};
}

SIZE ScaledPicture::DrawnSize(SIZE pictureSize, SIZE area)
{
    const auto close = [](LONG drawn, LONG own) { return (drawn > own ? drawn - own : own - drawn) * 16 <= own; };
    return close(area.cx, pictureSize.cx) && close(area.cy, pictureSize.cy) ? pictureSize : area;
}

void ScaledPicture::Draw(HDC target, HBITMAP picture, SIZE pictureSize, SIZE area, bool nearOwnSizeAsItIs)
{
    const SIZE drawn = nearOwnSizeAsItIs ? DrawnSize(pictureSize, area) : area;
    if (drawn.cx != pictureSize.cx || drawn.cy != pictureSize.cy) {
        if (HDC resampled = Resampled(picture, pictureSize, area)) {
            BitBlt(target, 0, 0, area.cx, area.cy, resampled, 0, 0, SRCCOPY);
            return;
        }
    } else {
        // Back at its own size (another screen's scaling, and back), the
        // copy of the other size is no use.
        Forget();
    }
    DrawOwnSize(target, picture, pictureSize, area);
}

void ScaledPicture::DrawOwnSize(HDC target, HBITMAP picture, SIZE pictureSize, SIZE area)
{
    const LONG right = area.cx < pictureSize.cx ? area.cx : pictureSize.cx;
    const LONG bottom = area.cy < pictureSize.cy ? area.cy : pictureSize.cy;
    const LONG lastX = pictureSize.cx - 1;
    const LONG lastY = pictureSize.cy - 1;
    SelectedBitmap memory(target, picture);
    HDC source = memory.Dc();
    BitBlt(target, 0, 0, right, bottom, source, 0, 0, SRCCOPY);
    if (area.cx > right)
        StretchBlt(target, right, 0, area.cx - right, bottom, source, lastX, 0, 1, bottom, SRCCOPY);
    if (area.cy > bottom)
        StretchBlt(target, 0, bottom, right, area.cy - bottom, source, 0, lastY, right, 1, SRCCOPY);
    if (area.cx > right && area.cy > bottom)
        StretchBlt(target, right, bottom, area.cx - right, area.cy - bottom, source, lastX, lastY, 1, 1, SRCCOPY);
}

HBITMAP ScaledPicture::Resample(HBITMAP picture, SIZE pictureSize, SIZE size, const ResampleApi& api)
{
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    HBITMAP copy = MakeTopDown32(api, size);
    if (copy == nullptr)
        return nullptr;
    BOOL made = FALSE;
    {
        SelectedBitmap to(nullptr, copy);
        SelectedBitmap from(nullptr, picture);
        // Halftone averages the source pixels under each target pixel; it
        // needs its brush origin set after the mode is chosen.
        SetStretchBltMode(to.Dc(), HALFTONE);
        SetBrushOrgEx(to.Dc(), 0, 0, nullptr);
        made = to.Dc() != nullptr && api.stretchBlt(to.Dc(), 0, 0, size.cx, size.cy, from.Dc(), 0, 0,
                                                    pictureSize.cx, pictureSize.cy, SRCCOPY);
    }
    // Only a copy that was made is handed out: a black or half-made one
    // would be shown for as long as the size lasts.
    if (!made) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

HDC ScaledPicture::Resampled(HBITMAP picture, SIZE pictureSize, SIZE area)
{
    if (m_resampledDc != nullptr && m_resampledSize.cx == area.cx && m_resampledSize.cy == area.cy)
        return m_resampledDc;
    Forget();
    m_resampled = Resample(picture, pictureSize, area, m_api);
    m_resampledDc = m_resampled != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (m_resampledDc == nullptr) {
        Forget();
        return nullptr;
    }
    m_replaced = SelectObject(m_resampledDc, m_resampled);
    m_resampledSize = area;
    return m_resampledDc;
}
