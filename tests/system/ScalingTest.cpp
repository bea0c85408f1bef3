// The panel and the flag as users' desktops show them: at 100, 125 and 150 %
// scaling, with and without the panel's Kai font. Wine reads the DPI and its
// font replacements when a process starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"
#include "support/Canvas.h"
#include "support/NetChangeProcess.h"
#include "support/Pump.h"
#include "support/UserRegistryValue.h"

namespace {

// No picture of the program uses it: primed into a client area from
// outside, it stays only where the window paints nothing.
constexpr COLORREF kPrime = RGB(0xFE, 0x01, 0xFD);
// The fill of the picture's text box (tools/make-artwork.sh).
constexpr COLORREF kTextBoxFill = RGB(0xFB, 0xFD, 0xFB);

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The window's client area as the screen shows it, once two looks agree
// (another process paints it) and, when asked, no primed pixel is left.
std::unique_ptr<Canvas> Settled(HWND window, bool primed)
{
    RECT client;
    GetClientRect(window, &client);
    std::unique_ptr<Canvas> shot;
    PumpUntil(
        [&] {
            auto next = std::make_unique<Canvas>(client.right, client.bottom);
            CaptureClientArea(window, *next);
            const bool same = shot != nullptr && next->CountDifferent(*shot) == 0;
            shot = std::move(next);
            return same && (!primed || shot->Count(client, [](COLORREF c) { return c == kPrime; }) == 0);
        },
        3000);
    return shot;
}

// The window's background: primed, then erased and painted again.
std::unique_ptr<Canvas> Repainted(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HBRUSH prime = CreateSolidBrush(kPrime);
    FillRect(dc, &client, prime);
    DeleteObject(prime);
    // Our drawing reaches the display by another road than the window's
    // own: reading a pixel back makes it arrive before the repaint.
    GetPixel(dc, 0, 0);
    ReleaseDC(window, dc);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Settled(window, true);
}

// The rows and columns in which more than 1/`share` of the pixels are ones
// for which `is` holds: with a share of 3 a box, not stray pixels.
RECT BoxOf(const Canvas& shot, const std::function<bool(COLORREF)>& is, int share)
{
    RECT box = {shot.Width(), shot.Height(), 0, 0};
    for (int y = 0; y < shot.Height(); ++y)
        if (shot.Count({0, y, shot.Width(), y + 1}, is) * share > shot.Width()) {
            box.top = y < box.top ? y : box.top;
            box.bottom = y + 1;
        }
    for (int x = 0; x < shot.Width(); ++x)
        if (shot.Count({x, 0, x + 1, shot.Height()}, is) * share > shot.Height()) {
            box.left = x < box.left ? x : box.left;
            box.right = x + 1;
        }
    return box;
}

std::string Describe(const RECT& rect)
{
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) +
           "," + std::to_string(rect.bottom) + ")";
}

struct Line
{
    HWND control;
    RECT rect;  // in the panel's client area, as the template made it
};

std::vector<Line> InstructionLines(HWND panel)
{
    std::vector<Line> lines;
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
        lines.push_back({child, rect});
    }
    return lines;
}

class ScalingTest : public testing::TestWithParam<std::tuple<int, bool>>
{
};

// Every line is drawn whole inside the text box of the picture as drawn,
// the flag's 内 stands in the middle of the flag, every pixel is painted,
// and at 100 % both pictures are drawn 1:1 as they always were.
TEST_P(ScalingTest, LinesStayInTheTextBoxAndTheFlagIsCentred)
{
    const auto [dpi, withKai] = GetParam();
    UserRegistryValue logPixels("Control Panel\\Desktop", "LogPixels");
    logPixels.SetDword(static_cast<DWORD>(dpi));
    UserRegistryValue kai("Software\\Wine\\Fonts\\Replacements", "华文楷体");
    if (!withKai)
        kai.Delete();
    // No tooltip of a button under the mouse may cover what is looked at:
    // the mouse waits at the screen's left edge, beside every window.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) / 2);
    NetChangeProcess program("scaling");
    ASSERT_TRUE(program.Start());
    HWND panel = program.WaitForPanel(10000);
    HWND flag = program.WaitForFlag(10000);
    ASSERT_TRUE(panel != nullptr && flag != nullptr);

    // A line that does not fit wraps, and its control hides the rest: taller
    // controls (still clear of the next line) show what would be hidden.
    const std::vector<Line> lines = InstructionLines(panel);
    ASSERT_EQ(5u, lines.size());
    for (const Line& line : lines) {
        const RECT& r = line.rect;
        SetWindowPos(line.control, nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) * 13 / 8,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The picture alone, then the lines on it (the buttons stay hidden).
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        ShowWindow(child, SW_HIDE);
    const std::unique_ptr<Canvas> background = Repainted(panel);
    for (const Line& line : lines)
        ShowWindow(line.control, SW_SHOW);
    const std::unique_ptr<Canvas> shown = Settled(panel, false);
    const RECT box = BoxOf(*background, [](COLORREF c) { return Near(c, kTextBoxFill, 2); }, 3);
    SCOPED_TRACE("panel " + std::to_string(background->Width()) + "x" + std::to_string(background->Height()) +
                 ", text box " + Describe(box));
    ASSERT_LT(box.left, box.right);
    for (const Line& line : lines) {
        RECT ink = {shown->Width(), shown->Height(), -1, -1};
        int pixels = 0;
        for (int y = line.rect.top; y < line.rect.top + (line.rect.bottom - line.rect.top) * 13 / 8; ++y)
            for (int x = line.rect.left; x < line.rect.right; ++x)
                if (shown->At(x, y) != background->At(x, y)) {
                    ++pixels;
                    ink = {std::min(ink.left, LONG{x}), std::min(ink.top, LONG{y}), std::max(ink.right, LONG{x}),
                           std::max(ink.bottom, LONG{y})};
                }
        SCOPED_TRACE("line " + Describe(line.rect) + ", its ink " + Describe(ink));
        EXPECT_GT(pixels, 0);
        EXPECT_TRUE(ink.left >= box.left && ink.top >= box.top && ink.right < box.right && ink.bottom < box.bottom)
            << "outside the text box";
        EXPECT_LT(ink.bottom, line.rect.bottom) << "wrapped: more than its control shows";
        EXPECT_LT(ink.right, line.rect.right - 1) << "runs to its control's right edge";
    }

    const std::unique_ptr<Canvas> flagShot = Repainted(flag);
    ASSERT_NE(nullptr, flagShot);
    const RECT glyph = BoxOf(*flagShot, [](COLORREF c) { return Near(c, RGB(255, 255, 255), 40); }, 1000);
    SCOPED_TRACE("flag " + std::to_string(flagShot->Width()) + "x" + std::to_string(flagShot->Height()) +
                 ", its glyph " + Describe(glyph));
    EXPECT_LE(abs(glyph.left + glyph.right - flagShot->Width()), 6) << "not centred across";
    EXPECT_LE(abs(glyph.top + glyph.bottom - flagShot->Height()), 6) << "not centred down";

    if (dpi == 96) {
        const ResourceBitmap panelPicture = ReadResourceBitmap(IDB_PANEL);
        const ResourceBitmap flagPicture = ReadResourceBitmap(IDB_NETFLAG);
        EXPECT_EQ(0, CountNotPicture(*background, panelPicture, background->Width(), background->Height()));
        EXPECT_EQ(0, CountNotPicture(*flagShot, flagPicture, flagShot->Width(), flagShot->Height()));
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScalingTest, testing::Combine(testing::Values(96, 120, 144), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<int, bool>>& param) {
                             return "Dpi" + std::to_string(std::get<0>(param.param)) +
                                    (std::get<1>(param.param) ? "WithKai" : "WithoutKai");
                         });

}  // namespace
