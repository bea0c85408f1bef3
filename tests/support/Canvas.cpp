#include "support/Canvas.h"

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

COLORREF FromPixel(std::uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Canvas::Canvas(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_replaced = SelectObject(m_dc, m_bitmap);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_replaced);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

void Canvas::Fill(COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, m_width, m_height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

COLORREF Canvas::At(int x, int y) const
{
    GdiFlush();
    return FromPixel(m_bits[static_cast<size_t>(y) * m_width + x]);
}

int Canvas::CountOther(const RECT& area, COLORREF colour) const
{
    return Count(area, [colour](COLORREF pixel) { return pixel != colour; });
}

int Canvas::Count(const RECT& area, const std::function<bool(COLORREF)>& is) const
{
    GdiFlush();
    int count = 0;
    for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < m_height; ++y)
        for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < m_width; ++x)
            if (is(FromPixel(m_bits[static_cast<size_t>(y) * m_width + x])))
                ++count;
    return count;
}

int Canvas::CountDifferent(const Canvas& other, RECT* box) const
{
    // Whole screens are compared many times a test: one flush, then the bits.
    GdiFlush();
    int count = 0;
    RECT found = {m_width, m_height, -1, -1};
    for (int y = 0; y < m_height && y < other.m_height; ++y) {
        const std::uint32_t* row = m_bits + static_cast<size_t>(y) * m_width;
        const std::uint32_t* otherRow = other.m_bits + static_cast<size_t>(y) * other.m_width;
        for (int x = 0; x < m_width && x < other.m_width; ++x)
            if (row[x] != otherRow[x]) {
                ++count;
                found = {x < found.left ? x : found.left, y < found.top ? y : found.top,
                         x > found.right ? x : found.right, y};
            }
    }
    if (box != nullptr)
        *box = found;
    return count;
}

void CaptureClientArea(HWND window, Canvas& canvas)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

HBITMAP Canvas::CopyBitmap() const
{
    GdiFlush();
    return static_cast<HBITMAP>(CopyImage(m_bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

int ResourceBitmap::DistinctColours() const
{
    return static_cast<int>(std::set<COLORREF>(pixels.begin(), pixels.end()).size());
}

ResourceBitmap ReadResourceBitmap(UINT id)
{
    ResourceBitmap result;
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    if (bitmap == nullptr)
        return result;
    BITMAP shape = {};
    GetObjectA(bitmap, sizeof shape, &shape);
    BITMAPINFO info = TopDown32(shape.bmWidth, shape.bmHeight);
    std::vector<std::uint32_t> raw(static_cast<size_t>(shape.bmWidth) * shape.bmHeight);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, shape.bmHeight, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (lines != shape.bmHeight)
        return result;
    result.width = shape.bmWidth;
    result.height = shape.bmHeight;
    for (std::uint32_t pixel : raw)
        result.pixels.push_back(FromPixel(pixel));
    return result;
}

int CountNotPicture(const Canvas& canvas, const ResourceBitmap& bitmap, int width, int height)
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.At(x, y) != bitmap.At(x < bitmap.width ? x : bitmap.width - 1,
                                             y < bitmap.height ? y : bitmap.height - 1))
                ++count;
    return count;
}

int CountUnlikeStretched(const Canvas& canvas, const ResourceBitmap& bitmap, int width, int height, int tolerance)
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF drawn = canvas.At(x, y);
            const COLORREF own = bitmap.At(x * bitmap.width / width, y * bitmap.height / height);
            if (abs(GetRValue(drawn) - GetRValue(own)) > tolerance || abs(GetGValue(drawn) - GetGValue(own)) > tolerance ||
                abs(GetBValue(drawn) - GetBValue(own)) > tolerance)
                ++count;
        }
    return count;
}

const DcState kPrimedState = {RGB(1, 2, 3), RGB(4, 5, 6), OPAQUE};

DcState ReadDcState(HDC dc)
{
    return {GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)};
}

void PrimeDcState(HDC dc)
{
    SetTextColor(dc, kPrimedState.text);
    SetBkColor(dc, kPrimedState.background);
    SetBkMode(dc, kPrimedState.mode);
}

bool operator==(const DcState& a, const DcState& b)
{
    return a.text == b.text && a.background == b.background && a.mode == b.mode;
}

std::string Describe(const DcState& state)
{
    return "text " + Hex(state.text) + ", background " + Hex(state.background) + ", mode " +
           (state.mode == TRANSPARENT ? "TRANSPARENT" : state.mode == OPAQUE ? "OPAQUE" : "?");
}

BrushInfo ReadBrush(HGDIOBJ brush)
{
    LOGBRUSH logical = {};
    if (brush == nullptr || GetObjectType(brush) != OBJ_BRUSH || GetObjectA(brush, sizeof logical, &logical) == 0)
        return {false, 0, 0};
    return {true, logical.lbStyle, logical.lbColor};
}

PlainWindow::PlainWindow(int width, int height)
    : m_window(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr))
{
}

PlainWindow::~PlainWindow()
{
    DestroyWindow(m_window);
}
