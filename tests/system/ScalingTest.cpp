// The panel and the flag as users' desktops show them: at 100, 125 and 150 %
// scaling, with and without the panel's Kai font. Wine reads the DPI and its
// font replacements when a process starts.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/Canvas.h"
#include "support/NetChangeProcess.h"
#include "support/Pump.h"
#include "support/UserRegistryValue.h"

namespace {

// No picture of the program uses it: primed into a client area from
// outside, it stays only where the window paints nothing.
constexpr COLORREF kPrime = RGB(0xFE, 0x01, 0xFD);

// Pixels of the window's client area, as the screen shows it, that keep the
// primed colour, or the black of a window surface that nothing drew on.
int UnpaintedPixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    Canvas shot(client.right, client.bottom);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Dc(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    // A pixel of neither colour counts once in each CountOther, one of
    // either colour in only one of them.
    return 2 * client.right * client.bottom - shot.CountOther(client, RGB(0, 0, 0)) - shot.CountOther(client, kPrime);
}

class ScalingTest : public testing::TestWithParam<std::tuple<int, bool>>
{
};

TEST_P(ScalingTest, EveryPixelOfThePanelAndTheFlagIsPainted)
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

    for (HWND window : {panel, flag}) {
        RECT client;
        GetClientRect(window, &client);
        SCOPED_TRACE((window == panel ? "panel " : "flag ") + std::to_string(client.right) + "x" +
                     std::to_string(client.bottom));
        HDC dc = GetDC(window);
        HBRUSH prime = CreateSolidBrush(kPrime);
        FillRect(dc, &client, prime);
        DeleteObject(prime);
        // Our drawing reaches the display by another road than the window's
        // own: reading a pixel back makes it arrive before the repaint.
        GetPixel(dc, 0, 0);
        ReleaseDC(window, dc);
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        int unpainted = -1;
        PumpUntil([&] { return (unpainted = UnpaintedPixels(window)) == 0; }, 2000);
        EXPECT_EQ(0, unpainted);
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScalingTest, testing::Combine(testing::Values(96, 120, 144), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<int, bool>>& param) {
                             return "Dpi" + std::to_string(std::get<0>(param.param)) +
                                    (std::get<1>(param.param) ? "WithKai" : "WithoutKai");
                         });

}  // namespace
