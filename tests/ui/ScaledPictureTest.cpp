// The scaled picture on its own: when it is drawn 1:1 and when resampled,
// how often and how it resamples, and what it draws when GDI fails it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "res/resource.h"
#include "support/Canvas.h"
#include "support/GdiObjects.h"
#include "ui/ImageStrip.h"
#include "ui/ScaledPicture.h"

namespace {

constexpr SIZE kPanel = {522, 344};

int g_copiesMade;
bool g_copyFails;
bool g_stretchFails;

HBITMAP WINAPI CountedCopy(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    ++g_copiesMade;
    return g_copyFails ? nullptr : CreateDIBSection(dc, info, usage, bits, section, offset);
}

BOOL WINAPI FailingStretch(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                           int sourceWidth, int sourceHeight, DWORD rop)
{
    return !g_stretchFails &&
           StretchBlt(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}

const ScaledPicture::ResampleApi kWatchedGdi = {&CountedCopy, &FailingStretch};

class ScaledPictureTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_copiesMade = 0;
        g_copyFails = g_stretchFails = false;
    }
    void TearDown() override { DeleteObject(m_picture); }

    // The panel's picture, or another, stretched over `area` in one call, as a reference.
    std::unique_ptr<Canvas> Stretched(SIZE area, int mode, HBITMAP picture = nullptr, SIZE size = kPanel) const
    {
        auto canvas = std::make_unique<Canvas>(area.cx, area.cy);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ replaced = SelectObject(source, picture != nullptr ? picture : m_picture);
        SetStretchBltMode(canvas->Dc(), mode);
        SetBrushOrgEx(canvas->Dc(), 0, 0, nullptr);
        StretchBlt(canvas->Dc(), 0, 0, area.cx, area.cy, source, 0, 0, size.cx, size.cy, SRCCOPY);
        SelectObject(source, replaced);
        DeleteDC(source);
        return canvas;
    }

    std::unique_ptr<Canvas> Drawn(ScaledPicture& scaled, SIZE area) const
    {
        auto canvas = std::make_unique<Canvas>(area.cx, area.cy);
        scaled.Draw(canvas->Dc(), m_picture, kPanel, area, true);
        return canvas;
    }

    HBITMAP m_picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PANEL));
};

// Within 1/16 of the picture's size (522: 32 px, 344: 21 px) on both axes
// the picture keeps its own size; one pixel farther on either, it does not.
TEST(ScaledPictureSize, OwnSizeWithinASixteenthOnBothAxes)
{
    const struct
    {
        SIZE area;
        bool own;
    } cases[] = {
        {{554, 344}, true},  {{555, 344}, false}, {{490, 344}, true},  {{489, 344}, false},
        {{522, 365}, true},  {{522, 366}, false}, {{522, 323}, true},  {{522, 322}, false},
        {{554, 365}, true},  {{555, 365}, false}, {{554, 366}, false}, {{771, 550}, false},
    };
    for (const auto& c : cases) {
        const SIZE drawn = ScaledPicture::DrawnSize(kPanel, c.area);
        const SIZE expected = c.own ? kPanel : c.area;
        EXPECT_TRUE(drawn.cx == expected.cx && drawn.cy == expected.cy) << c.area.cx << "x" << c.area.cy;
    }
}

// One halftone copy per size, the size being both width and height; drawing
// the same size again only copies it.
TEST_F(ScaledPictureTest, ResamplesOncePerSizeWithHalftone)
{
    // The test can tell halftone from the default mode.
    ASSERT_GT(Stretched({771, 550}, HALFTONE)->CountDifferent(*Stretched({771, 550}, COLORONCOLOR)), 0);
    ScaledPicture scaled(kWatchedGdi);
    const struct
    {
        SIZE area;
        int copies;
    } draws[] = {{{771, 550}, 1}, {{771, 550}, 1}, {{771, 400}, 2}, {{771, 400}, 2}, {{600, 550}, 3}};
    for (const auto& draw : draws) {
        SCOPED_TRACE(std::to_string(draw.area.cx) + "x" + std::to_string(draw.area.cy));
        EXPECT_EQ(0, Drawn(scaled, draw.area)->CountDifferent(*Stretched(draw.area, HALFTONE)));
        EXPECT_EQ(draw.copies, g_copiesMade);
    }
}

// Short of GDI resources the picture is drawn as at 100 %, and the copy is
// made at the next draw once GDI can.
TEST_F(ScaledPictureTest, AFailedResampleDrawsThePictureAtItsOwnSizeAndIsTriedAgain)
{
    const ResourceBitmap picture = ReadResourceBitmap(IDB_PANEL);
    for (bool copyFails : {true, false}) {
        SCOPED_TRACE(copyFails ? "no bitmap for the copy" : "the stretch fails");
        ScaledPicture scaled(kWatchedGdi);
        g_copyFails = copyFails;
        g_stretchFails = !copyFails;
        EXPECT_EQ(0, CountNotPicture(*Drawn(scaled, {771, 550}), picture, 771, 550));
        g_copyFails = g_stretchFails = false;
        EXPECT_EQ(0, Drawn(scaled, {771, 550})->CountDifferent(*Stretched({771, 550}, HALFTONE)));
    }
}

// A button's strip as it is at its faces' own size; resampled as the picture
// is at another, larger or smaller, face for face in order; as it is where
// GDI cannot make the copy.
TEST_F(ScaledPictureTest, ImageStripsTakeTheFaceSizeAndKeepTheirOwnWhereGdiFails)
{
    HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BTN_ABOUT));
    const struct
    {
        SIZE face;
        bool copyFails;
        SIZE made;
    } cases[] = {{{111, 44}, false, {111, 44}}, {{278, 110}, false, {278, 110}}, {{83, 33}, false, {83, 33}},
                 {{111, 60}, false, {111, 60}}, {{278, 110}, true, {111, 44}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.face.cx) + "x" + std::to_string(c.face.cy) + (c.copyFails ? ", no copy" : ""));
        g_copyFails = c.copyFails;
        HIMAGELIST list = LoadImageStrip(IDB_BTN_ABOUT, {111, 44}, c.face, kWatchedGdi);
        int width = 0;
        int height = 0;
        ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
        EXPECT_EQ(c.made.cx, width);
        EXPECT_EQ(c.made.cy, height);
        ASSERT_EQ(4, ImageList_GetImageCount(list));
        Canvas faces(4 * width, height);
        for (int i = 0; i < 4; ++i)
            ImageList_Draw(list, i, faces.Dc(), i * width, 0, ILD_NORMAL);
        EXPECT_EQ(0, faces.CountDifferent(*Stretched({4 * width, height}, HALFTONE, strip, {444, 44})));
        ImageList_Destroy(list);
    }
    DeleteObject(strip);
}

// Only the copy of the current size is kept; it goes with its object, and
// when the picture is drawn at its own size again.
TEST_F(ScaledPictureTest, KeepsOneCopyAndGivesItBack)
{
    Drawn(*std::make_unique<ScaledPicture>(), {700, 500});  // GDI's own first-use objects
    const long before = CountGdiObjects();
    ASSERT_GT(before, 0);
    {
        ScaledPicture scaled;
        for (int width = 600; width < 610; ++width)
            Drawn(scaled, {width, 500});
        EXPECT_EQ(before + 2, CountGdiObjects()) << "its memory context and bitmap";
        Drawn(scaled, kPanel);
        EXPECT_EQ(before, CountGdiObjects()) << "kept at the picture's own size";
    }
    EXPECT_EQ(before, CountGdiObjects());
}

}  // namespace
