#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/Text.h"

// A memory device context over a 32-bit top-down DIB section, so a test can
// read back exactly what GDI drew into it: the tests' one canvas.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(COLORREF colour);
    COLORREF At(int x, int y) const;
    // Pixels inside `area` (clipped to the canvas) whose colour is not `colour`.
    int CountOther(const RECT& area, COLORREF colour) const;
    // Pixels inside `area` (clipped to the canvas) for which `is` holds.
    int Count(const RECT& area, const std::function<bool(COLORREF)>& is) const;
    // Pixels, canvas-wide, that differ from the same pixel of `other`; with
    // `box`, also the first and last column and row where they do (right
    // and bottom inclusive; empty when none does).
    int CountDifferent(const Canvas& other, RECT* box = nullptr) const;
    // A bitmap of its own with the canvas's pixels, for calls that take a
    // bitmap no device context holds (image lists). The caller deletes it.
    HBITMAP CopyBitmap() const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_replaced = nullptr;
    std::uint32_t* m_bits = nullptr;
};

// Copies what the screen shows of `window`'s client area into `canvas`.
void CaptureClientArea(HWND window, Canvas& canvas);

// The pixels of a bitmap resource of this executable, as LoadBitmapA gives
// it, read back through GetDIBits.
struct ResourceBitmap
{
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int DistinctColours() const;
};

ResourceBitmap ReadResourceBitmap(UINT id);

// Pixels of `canvas` in [0, width) × [0, height) that are not `bitmap` drawn
// 1:1 from the top-left corner with its last column, last row and corner
// pixel continued beyond its edges.
int CountNotPicture(const Canvas& canvas, const ResourceBitmap& bitmap, int width, int height);
// Pixels of `canvas` in [0, width) × [0, height) farther than `tolerance` in
// a colour channel from the pixel of `bitmap` at the same relative place.
int CountUnlikeStretched(const Canvas& canvas, const ResourceBitmap& bitmap, int width, int height, int tolerance);

// The parts of a device context's state that the colour handlers set.
struct DcState
{
    COLORREF text;
    COLORREF background;
    int mode;
};

DcState ReadDcState(HDC dc);
// Sets text colour, background colour and mode to values no handler uses.
void PrimeDcState(HDC dc);
extern const DcState kPrimedState;

bool operator==(const DcState& a, const DcState& b);
std::string Describe(const DcState& state);

// The style and colour of a brush, read from the handle.
struct BrushInfo
{
    bool valid;
    UINT style;
    COLORREF colour;
};

BrushInfo ReadBrush(HGDIOBJ brush);

// A border-less hidden popup whose client area is exactly width × height,
// to stand for a dialog window where only the client rectangle matters.
class PlainWindow
{
public:
    PlainWindow(int width, int height);
    ~PlainWindow();
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window;
};
