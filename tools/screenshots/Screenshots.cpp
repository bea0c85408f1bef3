// Starts NetChange on the Wine desktop, brings up each of its windows in
// turn and saves a picture of the screen around it: the pictures shown in
// the README. Run by scripts/screenshots.sh.
//   screenshots.exe <output folder>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/NetChangeProcess.h"
#include "support/Pump.h"
#include "support/UserRegistryValue.h"

namespace {

// Saves the screen's rectangle `area` as a 24-bit BMP.
bool SaveScreen(RECT area, const std::string& path)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    HBITMAP picture = CreateCompatibleBitmap(desktop, width, height);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, desktop, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, picture, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, desktop);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    const bool saved = TempFolder::WriteFile(path, bytes);
    std::printf("%s %s (%dx%d)\n", saved ? "saved" : "FAILED", path.c_str(), width, height);
    return saved;
}

// A popup menu is on the screen, not only created: its rectangle shows the
// menu's background and, on it, the text of its items.
bool ShowsItsItems(HWND menu)
{
    RECT rect;
    if (!IsWindowVisible(menu) || !GetWindowRect(menu, &rect))
        return false;
    const COLORREF background = GetSysColor(COLOR_MENU);
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    HDC screen = GetDC(nullptr);
    int backgroundPixels = 0;
    int textPixels = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            backgroundPixels += pixel == background;
            textPixels += pixel == text;
        }
    ReleaseDC(nullptr, screen);
    const int all = (rect.right - rect.left) * (rect.bottom - rect.top);
    return backgroundPixels * 2 > all && textPixels * 50 > all;
}

RECT Around(HWND window, int margin)
{
    RECT rect;
    GetWindowRect(window, &rect);
    InflateRect(&rect, margin, margin);
    return rect;
}

RECT Union(RECT a, RECT b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

// The panel and the flag at 125 % (120 DPI), what Windows XP and 7 give a
// program by default on many screens, and at 150 % (144 DPI).
bool SaveScaled(const std::string& out, int dpi)
{
    UserRegistryValue logPixels("Control Panel\\Desktop", "LogPixels");
    logPixels.SetDword(static_cast<DWORD>(dpi));
    const std::string suffix = "-" + std::to_string(dpi) + "dpi.bmp";
    NetChangeProcess program("screenshots" + suffix);
    if (!program.Start())
        return false;
    HWND panel = program.WaitForPanel(10000);
    HWND flag = program.WaitForFlag(10000);
    if (panel == nullptr || flag == nullptr || !PumpUntil([&] { return IsWindowVisible(panel) != FALSE; }, 10000))
        return false;
    PumpMessages(1500);
    const bool ok = SaveScreen(Around(panel, 24), out + "main-dialog" + suffix) &&
                    SaveScreen(Around(flag, 24), out + "flag-window" + suffix);
    PostMessageA(panel, WM_COMMAND, 1501, 0);
    program.WaitForExit(5000);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots.exe <output folder>\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "\\";
    NetChangeProcess program("screenshots");
    if (!program.Start())
        return 1;
    HWND panel = program.WaitForPanel(10000);
    HWND flag = program.WaitForFlag(10000);
    if (panel == nullptr || flag == nullptr || !PumpUntil([&] { return IsWindowVisible(panel) != FALSE; }, 10000))
        return 1;
    PumpMessages(1500);
    bool ok = true;
    ok &= SaveScreen(Around(panel, 24), out + "main-dialog.bmp");
    ok &= SaveScreen(Around(flag, 24), out + "flag-window.bmp");

    PostMessageA(panel, WM_COMMAND, 1503, 0);
    HWND settings = program.WaitForWindow("设置", 5000);
    PumpMessages(800);
    ok &= settings != nullptr && SaveScreen(Union(Around(settings, 24), Around(panel, 8)), out + "settings-dialog.bmp");
    PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    PumpUntil([&] { return !IsWindow(settings); }, 3000);

    PostMessageA(panel, WM_COMMAND, 1502, 0);
    HWND about = program.WaitForWindow("关于", 5000);
    PumpMessages(800);
    ok &= about != nullptr && SaveScreen(Around(about, 24), out + "about-dialog.bmp");
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    PumpUntil([&] { return !IsWindow(about); }, 3000);

    // The tray menu opens at the cursor, as over the icon in the corner.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    SetCursorPos(width - 12, height - 10);
    PostMessageA(panel, 1500, 200, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (PumpUntil([&] { return (menu = FindProcessWindow(program.Pid(), "#32768")) != nullptr && ShowsItsItems(menu); },
                  5000))
        ok &= SaveScreen({width - 320, height - 160, width, height}, out + "tray-menu.bmp");
    else
        ok = false, std::printf("FAILED: the tray menu did not show its items\n");
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    PumpMessages(300);

    ok &= SaveScreen({0, 0, width, height}, out + "desktop.bmp");
    PostMessageA(panel, WM_COMMAND, 1501, 0);
    program.WaitForExit(5000);
    return ok && SaveScaled(out, 120) && SaveScaled(out, 144) ? 0 : 1;
}
