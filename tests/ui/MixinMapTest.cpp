// The four look mixins on their own: what each map answers, message by
// message, and what it leaves on a real device context.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/Canvas.h"
#include "support/MessageNames.h"
#include "framework/CWindow.h"
#include "res/resource.h"
#include "ui/CBitmapBkgnd.h"
#include "ui/CCtrlColor.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"

namespace {

// Colours no dialog of the program uses, so a hit proves the template
// arguments reach the device context.
constexpr COLORREF kText = 0x2468AC;
constexpr COLORREF kBrush = 0x13579B;
constexpr COLORREF kFill = 0x3C5A78;
constexpr COLORREF kSentinel = RGB(0xFE, 0x01, 0xFD);
constexpr LRESULT kUntouched = 0x5EED;
constexpr UINT kNoSuchBitmap = 4711;

struct PaintHost : CWindow, CPaintBkgnd<PaintHost, kFill>
{
    virtual ~PaintHost() = default;
    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        return CPaintBkgnd::RouteMessage(window, message, wParam, lParam, result, mapId);
    }
};

template <UINT t_bitmapId>
struct BitmapHost : CWindow, CBitmapBkgnd<BitmapHost<t_bitmapId>, t_bitmapId>
{
    virtual ~BitmapHost() = default;
    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        return CBitmapBkgnd<BitmapHost, t_bitmapId>::RouteMessage(window, message, wParam, lParam, result, mapId);
    }
};

struct ColorHost : CCtrlColor<ColorHost, kText, kBrush>
{
};

struct HollowHost : CCtrlHollowColor<HollowHost, kText, kBrush>
{
};

using MapCall = std::function<BOOL(UINT message, WPARAM wParam, LRESULT& result, DWORD mapId)>;

struct Answer
{
    BOOL handled;
    LRESULT result;
    DcState dc;
};

// Hands the map a primed device context and an untouched result.
Answer Ask(const MapCall& map, UINT message, HDC dc, DWORD mapId = 0)
{
    PrimeDcState(dc);
    LRESULT result = kUntouched;
    const BOOL handled = map(message, reinterpret_cast<WPARAM>(dc), result, mapId);
    return {handled, result, ReadDcState(dc)};
}

// Everything a dialog might route, the table's messages and their neighbours.
const UINT kProbeMessages[] = {
    WM_ERASEBKGND,     WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
    WM_CTLCOLORDLG,    WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC, WM_PAINT,        WM_PRINTCLIENT,
    WM_NCPAINT,        WM_INITDIALOG,     WM_COMMAND,      WM_SETFOCUS,        WM_DRAWITEM,
    WM_TIMER,          WM_LBUTTONDOWN,    WM_USER,
};

struct Expected
{
    UINT message;
    LRESULT result;
    DcState dc;
};

// Asks the map every probe message: those in `answered` must give their
// result and device-context state; all others must pass unhandled with the
// result and the device context untouched.
void CheckTable(const MapCall& map, const std::vector<Expected>& answered, const Canvas& canvas)
{
    for (UINT message : kProbeMessages) {
        SCOPED_TRACE(MessageName(message));
        const Answer answer = Ask(map, message, canvas.Dc());
        const Expected* expected = nullptr;
        for (const Expected& entry : answered)
            if (entry.message == message)
                expected = &entry;
        if (expected != nullptr) {
            EXPECT_TRUE(answer.handled);
            EXPECT_EQ(expected->result, answer.result);
            EXPECT_EQ(expected->dc, answer.dc) << "expected " << Describe(expected->dc) << "\n     got "
                                               << Describe(answer.dc);
        } else {
            EXPECT_FALSE(answer.handled);
            EXPECT_EQ(kUntouched, answer.result);
            EXPECT_EQ(kPrimedState, answer.dc) << "got " << Describe(answer.dc);
        }
    }
}

DcState Coloured(COLORREF text)
{
    return {text, kPrimedState.background, TRANSPARENT};
}

TEST(MixinMaps, CtrlColorAnswersDialogAndStaticOnly)
{
    ColorHost host;
    PlainWindow window(40, 30);
    Canvas canvas(40, 30);
    const MapCall map = [&](UINT message, WPARAM wParam, LRESULT& result, DWORD mapId) {
        return host.RouteMessage(window.Handle(), message, wParam, 0, result, mapId);
    };
    const LRESULT brush = reinterpret_cast<LRESULT>(host.Brush());
    // The dialog brush comes without touching the device context.
    CheckTable(map, {{WM_CTLCOLORDLG, brush, kPrimedState}, {WM_CTLCOLORSTATIC, brush, Coloured(kText)}}, canvas);

    const BrushInfo info = ReadBrush(host.Brush());
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), info.style);
    EXPECT_EQ(Hex(kBrush), Hex(info.colour));
}

TEST(MixinMaps, CtrlHollowColorAnswersButtonAndStaticOnly)
{
    HollowHost host;
    PlainWindow window(40, 30);
    Canvas canvas(40, 30);
    const MapCall map = [&](UINT message, WPARAM wParam, LRESULT& result, DWORD mapId) {
        return host.RouteMessage(window.Handle(), message, wParam, 0, result, mapId);
    };
    const LRESULT hollow = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    // Buttons get 0: the system keeps their brush; only the text changes.
    CheckTable(map, {{WM_CTLCOLORBTN, 0, Coloured(kText)}, {WM_CTLCOLORSTATIC, hollow, Coloured(kText)}}, canvas);

    const BrushInfo info = ReadBrush(host.Brush());
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(static_cast<UINT>(BS_NULL), info.style);
}

TEST(MixinMaps, PaintBkgndAnswersEraseOnly)
{
    PaintHost host;
    PlainWindow window(40, 30);
    host.m_hWnd = window.Handle();
    Canvas canvas(40, 30);
    const MapCall map = [&](UINT message, WPARAM wParam, LRESULT& result, DWORD mapId) {
        return host.CPaintBkgnd::RouteMessage(window.Handle(), message, wParam, 0, result, mapId);
    };
    CheckTable(map, {{WM_ERASEBKGND, 1, kPrimedState}}, canvas);
}

TEST(MixinMaps, BitmapBkgndAnswersEraseOnly)
{
    BitmapHost<IDB_NETFLAG> host;
    PlainWindow window(40, 30);
    host.m_hWnd = window.Handle();
    Canvas canvas(40, 30);
    const MapCall map = [&](UINT message, WPARAM wParam, LRESULT& result, DWORD mapId) {
        return host.CBitmapBkgnd::RouteMessage(window.Handle(), message, wParam, 0, result, mapId);
    };
    CheckTable(map, {{WM_ERASEBKGND, 1, kPrimedState}}, canvas);

    // Without its picture it leaves the erase to the dialog's next mixin.
    BitmapHost<kNoSuchBitmap> missing;
    missing.m_hWnd = window.Handle();
    CheckTable(
        [&](UINT message, WPARAM wParam, LRESULT& result, DWORD mapId) {
            return missing.CBitmapBkgnd::RouteMessage(window.Handle(), message, wParam, 0, result, mapId);
        },
        {}, canvas);
}

// Only map 0 exists: any other identifier is handled by no mixin, which
// then neither draws nor touches the result or the device context.
TEST(MixinMaps, MapIdOtherThanZeroIsHandledByNone)
{
    PaintHost paint;
    BitmapHost<IDB_NETFLAG> bitmap;
    ColorHost color;
    HollowHost hollow;
    PlainWindow window(40, 30);
    paint.m_hWnd = window.Handle();
    bitmap.m_hWnd = window.Handle();
    Canvas canvas(40, 30);
    const HWND hwnd = window.Handle();

    struct Mixin
    {
        const char* name;
        MapCall map;
    };
    const Mixin mixins[] = {
        {"CPaintBkgnd",
         [&](UINT m, WPARAM w, LRESULT& r, DWORD id) { return paint.CPaintBkgnd::RouteMessage(hwnd, m, w, 0, r, id); }},
        {"CBitmapBkgnd",
         [&](UINT m, WPARAM w, LRESULT& r, DWORD id) {
             return bitmap.CBitmapBkgnd::RouteMessage(hwnd, m, w, 0, r, id);
         }},
        {"CCtrlColor",
         [&](UINT m, WPARAM w, LRESULT& r, DWORD id) { return color.RouteMessage(hwnd, m, w, 0, r, id); }},
        {"CCtrlHollowColor",
         [&](UINT m, WPARAM w, LRESULT& r, DWORD id) { return hollow.RouteMessage(hwnd, m, w, 0, r, id); }},
    };
    const RECT all = {0, 0, canvas.Width(), canvas.Height()};
    for (const Mixin& mixin : mixins) {
        for (DWORD mapId : {1ul, 2ul, 0x80000000ul}) {
            for (UINT message : {WM_ERASEBKGND, WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
                SCOPED_TRACE(std::string(mixin.name) + " map " + std::to_string(mapId) + " " + MessageName(message));
                canvas.Fill(kSentinel);
                const Answer answer = Ask(mixin.map, message, canvas.Dc(), mapId);
                EXPECT_FALSE(answer.handled);
                EXPECT_EQ(kUntouched, answer.result);
                EXPECT_EQ(kPrimedState, answer.dc) << "got " << Describe(answer.dc);
                EXPECT_EQ(0, canvas.CountOther(all, kSentinel));
            }
        }
    }
}

TEST(MixinErase, PaintBkgndFillsExactlyTheClientRectangle)
{
    PaintHost host;
    PlainWindow window(150, 90);
    host.m_hWnd = window.Handle();
    RECT client;
    ASSERT_TRUE(GetClientRect(window.Handle(), &client));
    ASSERT_EQ(150, client.right);
    ASSERT_EQ(90, client.bottom);

    // The canvas reaches beyond the client area, to see the fill stop there.
    Canvas canvas(190, 120);
    canvas.Fill(kSentinel);
    LRESULT result = kUntouched;
    ASSERT_TRUE(host.RouteMessage(window.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0, result, 0));
    EXPECT_EQ(1, result);

    EXPECT_EQ(Hex(kFill), Hex(canvas.At(0, 0)));
    EXPECT_EQ(Hex(kFill), Hex(canvas.At(149, 0)));
    EXPECT_EQ(Hex(kFill), Hex(canvas.At(0, 89)));
    EXPECT_EQ(Hex(kFill), Hex(canvas.At(149, 89)));
    EXPECT_EQ(Hex(kFill), Hex(canvas.At(75, 45)));
    EXPECT_EQ(0, canvas.CountOther(client, kFill));
    EXPECT_EQ(Hex(kSentinel), Hex(canvas.At(150, 0)));
    EXPECT_EQ(Hex(kSentinel), Hex(canvas.At(0, 90)));
    EXPECT_EQ(0, canvas.CountOther({150, 0, 190, 120}, kSentinel));
    EXPECT_EQ(0, canvas.CountOther({0, 90, 190, 120}, kSentinel));
}

// Near the picture's own size, the picture 1:1 from the top-left corner as
// far as the client area reaches, its edges continued where it is larger;
// farther off, the picture stretched over the client area. Nothing beyond.
TEST(MixinErase, BitmapBkgndFillsTheClientAreaWithThePicture)
{
    const ResourceBitmap panel = ReadResourceBitmap(IDB_PANEL);
    ASSERT_EQ(522, panel.width);
    ASSERT_EQ(344, panel.height);
    // A uniform edge could not tell its continuation from any other fill.
    ASSERT_NE(panel.At(521, 30), panel.At(521, 200));

    BitmapHost<IDB_PANEL> host;
    const SIZE sizes[] = {{510, 334}, {540, 360}, {200, 150}, {771, 550}, {600, 300}};
    for (const SIZE client : sizes) {
        SCOPED_TRACE(std::to_string(client.cx) + "x" + std::to_string(client.cy));
        PlainWindow window(client.cx, client.cy);
        host.m_hWnd = window.Handle();
        Canvas canvas(client.cx + 40, client.cy + 30);
        canvas.Fill(kSentinel);
        LRESULT result = kUntouched;
        const WPARAM dc = reinterpret_cast<WPARAM>(canvas.Dc());
        ASSERT_TRUE(host.RouteMessage(window.Handle(), WM_ERASEBKGND, dc, 0, result, 0));
        EXPECT_EQ(1, result);
        if (client.cx > 500 && client.cx < 550)
            EXPECT_EQ(0, CountNotPicture(canvas, panel, client.cx, client.cy));
        else  // resampling blends the picture's edges, nothing more
            EXPECT_LT(CountUnlikeStretched(canvas, panel, client.cx, client.cy, 48), client.cx * client.cy / 25);
        EXPECT_EQ(0, canvas.CountOther({client.cx, 0, canvas.Width(), canvas.Height()}, kSentinel));
        EXPECT_EQ(0, canvas.CountOther({0, client.cy, canvas.Width(), canvas.Height()}, kSentinel));
    }
    host.m_hWnd = nullptr;
}

// Each object makes its own handle and gives it back when it goes; the
// hollow brush is the system's and stays.
TEST(MixinOwnership, HandlesLiveExactlyAsLongAsTheirObject)
{
    HGDIOBJ paintBrush;
    HGDIOBJ colorBrush;
    HGDIOBJ bitmap;
    HGDIOBJ hollowBrush;
    {
        PaintHost paint;
        PaintHost otherPaint;
        ColorHost color;
        BitmapHost<IDB_NETFLAG> flag;
        HollowHost hollow;
        paintBrush = paint.Brush();
        colorBrush = color.Brush();
        bitmap = flag.Bitmap();
        hollowBrush = hollow.Brush();
        EXPECT_NE(paint.Brush(), otherPaint.Brush());
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(paintBrush));
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(colorBrush));
        EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
        EXPECT_EQ(GetStockObject(NULL_BRUSH), hollowBrush);
        const BrushInfo fill = ReadBrush(paintBrush);
        EXPECT_EQ(Hex(kFill), Hex(fill.colour));
        BITMAP shape = {};
        ASSERT_NE(0, GetObjectA(bitmap, sizeof shape, &shape));
        EXPECT_EQ(48, shape.bmWidth);
        EXPECT_EQ(48, shape.bmHeight);
    }
    EXPECT_EQ(0u, GetObjectType(paintBrush));
    EXPECT_EQ(0u, GetObjectType(colorBrush));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(hollowBrush));
}

}  // namespace
