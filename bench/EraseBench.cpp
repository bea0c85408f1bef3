// What the panel's background costs at 150 % scaling, where its picture is
// stretched: an erase of the panel's client area at 144 DPI against a plain
// BitBlt of a ready bitmap of the same size, both into one memory target in
// one run, interleaved so that drift hits both alike. The first erase of a
// size, which resamples the picture, is timed apart.
//   erase_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "panel/CMainDlg.h"

namespace {

// The panel's client area at 144 DPI without its Kai font, the larger one.
constexpr int kWidth = 771;
constexpr int kHeight = 550;
constexpr int kErasesPerRound = 200;
constexpr int kMaxRounds = 101;

HBITMAP TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

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

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = std::min(argc > 1 ? std::atoi(argv[1]) : 21, kMaxRounds);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    HGDIOBJ targetReplaced = SelectObject(target, targetBitmap);
    HDC ready = CreateCompatibleDC(screen);
    HBITMAP readyBitmap = TopDown32(kWidth, kHeight);
    HGDIOBJ readyReplaced = SelectObject(ready, readyBitmap);
    const WPARAM dc = reinterpret_cast<WPARAM>(target);

    double first[kMaxRounds];
    double ratios[kMaxRounds];
    double erases[kMaxRounds];
    double blits[kMaxRounds];
    for (int round = 0; round < rounds; ++round) {
        // The panel's own map, bound to a plain window of its 144 DPI size.
        CMainDlg panel;
        panel.m_hWnd = window;
        LRESULT result = 0;
        double start = Now();
        panel.RouteMessage(window, WM_ERASEBKGND, dc, 0, result, 0);
        GdiFlush();
        first[round] = Now() - start;

        start = Now();
        for (int i = 0; i < kErasesPerRound; ++i)
            panel.RouteMessage(window, WM_ERASEBKGND, dc, 0, result, 0);
        GdiFlush();
        erases[round] = (Now() - start) / kErasesPerRound;

        start = Now();
        for (int i = 0; i < kErasesPerRound; ++i)
            BitBlt(target, 0, 0, kWidth, kHeight, ready, 0, 0, SRCCOPY);
        GdiFlush();
        blits[round] = (Now() - start) / kErasesPerRound;
        ratios[round] = erases[round] / blits[round];
        panel.m_hWnd = nullptr;
    }
    std::printf("erase     panel background at 144 DPI (%dx%d), after the first: %.1f us, plain BitBlt of a ready "
                "bitmap %.1f us (medians of %d rounds of %d): ratio %.3f (target <= 1.2); the first erase, which "
                "resamples the picture: %.2f ms\n",
                kWidth, kHeight, Median(erases, rounds) * 1e6, Median(blits, rounds) * 1e6, rounds, kErasesPerRound,
                Median(ratios, rounds), Median(first, rounds) * 1e3);

    SelectObject(ready, readyReplaced);
    DeleteObject(readyBitmap);
    DeleteDC(ready);
    SelectObject(target, targetReplaced);
    DeleteObject(targetBitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
    return 0;
}
