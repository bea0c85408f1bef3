// What the panel's background costs where its picture is stretched: an erase
// of the panel's client area against a yardstick, a plain BitBlt of the
// panel's picture resampled to that size as the panel resamples it
// (halftone StretchBlt into a 32-bpp top-down DIB section), both into one
// memory target in one run, interleaved so that drift hits both alike. A
// never-written DIB section would not do: its pages are the kernel's shared
// zero page, always in cache, far cheaper to copy than any real picture.
// The first erase of a size, which resamples the picture, is timed apart.
//   erase_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "panel/CMainDlg.h"

namespace {

// The panel's client area without its Kai font (the larger), measured
// under Wine with LogPixels set to each DPI.
constexpr struct
{
    int dpi;
    SIZE size;
} kScales[] = {{144, {771, 550}}, {192, {1028, 726}}, {288, {1478, 1079}}};
constexpr int kErasesPerRound = 200;
// Erases and copies alternate in blocks of this many within a round.
constexpr int kBlock = 20;
constexpr int kMaxRounds = 101;

double Now()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(double* values, int count)
{
    std::sort(values, values + count);
    return values[count / 2];
}

// Erase against yardstick at one size; false if the window is not that size.
bool Measure(int dpi, SIZE size, int rounds)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, size.cx, size.cy, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right != size.cx || client.bottom != size.cy) {
        std::printf("erase     at %d DPI: a window of %ldx%ld has a client area of %ldx%ld\n", dpi, size.cx, size.cy,
                    client.right, client.bottom);
        DestroyWindow(window);
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ targetReplaced = SelectObject(target, targetBitmap);

    // The yardstick is made by the panel's own resampling.
    HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PANEL));
    BITMAP shape = {};
    GetObjectA(picture, sizeof shape, &shape);
    HBITMAP readyBitmap = ScaledPicture::Resample(picture, {shape.bmWidth, shape.bmHeight}, size);
    DeleteObject(picture);
    HDC ready = CreateCompatibleDC(nullptr);
    HGDIOBJ readyReplaced = SelectObject(ready, readyBitmap);
    GdiFlush();
    const WPARAM dc = reinterpret_cast<WPARAM>(target);

    double first[kMaxRounds];
    double ratios[kMaxRounds];
    double erases[kMaxRounds];
    double blits[kMaxRounds];
    for (int round = 0; round < rounds; ++round) {
        // The panel's own map, bound to a plain window of its size.
        CMainDlg panel;
        panel.m_hWnd = window;
        LRESULT result = 0;
        double start = Now();
        panel.RouteMessage(window, WM_ERASEBKGND, dc, 0, result, 0);
        GdiFlush();
        first[round] = Now() - start;

        erases[round] = 0;
        blits[round] = 0;
        for (int block = 0; block < kErasesPerRound / kBlock; ++block) {
            start = Now();
            for (int i = 0; i < kBlock; ++i)
                panel.RouteMessage(window, WM_ERASEBKGND, dc, 0, result, 0);
            GdiFlush();
            erases[round] += (Now() - start) / kErasesPerRound;

            start = Now();
            for (int i = 0; i < kBlock; ++i)
                BitBlt(target, 0, 0, size.cx, size.cy, ready, 0, 0, SRCCOPY);
            GdiFlush();
            blits[round] += (Now() - start) / kErasesPerRound;
        }
        ratios[round] = erases[round] / blits[round];
        panel.m_hWnd = nullptr;
    }
    std::printf("erase     panel background at %d DPI (%ldx%ld), after the first: %.1f us, BitBlt of the picture "
                "resampled alike %.1f us (medians of %d rounds of %d, interleaved in blocks of %d): ratio %.3f "
                "(target <= 1.1); the first erase, which resamples the picture: %.2f ms\n",
                dpi, size.cx, size.cy, Median(erases, rounds) * 1e6, Median(blits, rounds) * 1e6, rounds,
                kErasesPerRound, kBlock, Median(ratios, rounds), Median(first, rounds) * 1e3);

    SelectObject(ready, readyReplaced);
    DeleteObject(readyBitmap);
    DeleteDC(ready);
    SelectObject(target, targetReplaced);
    DeleteObject(targetBitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = std::min(argc > 1 ? std::atoi(argv[1]) : 21, kMaxRounds);
    std::printf("erase     yardstick: a BitBlt of the panel's picture resampled to the same size the same way "
                "(halftone StretchBlt into a 32-bpp top-down DIB section), into the same target\n");
    bool sized = true;
    for (const auto& scale : kScales)
        sized = Measure(scale.dpi, scale.size, rounds) && sized;
    return sized ? 0 : 1;
}
