// The panel and the flag as users' desktops show them: at 100 to 300 %
// scaling, with and without the panel's Kai font. Wine reads the DPI and its
// font replacements when a process starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/DpiApi.h"
#include "panel/PanelMessages.h"
#include "res/resource.h"
#include "support/Canvas.h"
#include "support/GdiObjects.h"
#include "support/NetChangeProcess.h"
#include "support/Pump.h"
#include "support/UserRegistryValue.h"
#include "ui/ScaledPicture.h"

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

// Another process paints the window: nothing of it may still wait for its
// paint (each window's update region empties as its paint begins).
bool NothingToPaint(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (!NothingToPaint(child))
            return false;
    return true;
}

// The window's client area as the screen shows it, once all of it has been
// painted, two looks agree and, when asked, no primed pixel is left.
std::unique_ptr<Canvas> Settled(HWND window, bool primed)
{
    RECT client;
    GetClientRect(window, &client);
    std::unique_ptr<Canvas> shot;
    PumpUntil(
        [&] {
            auto next = std::make_unique<Canvas>(client.right, client.bottom);
            CaptureClientArea(window, *next);
            const bool same = NothingToPaint(window) && shot != nullptr && next->CountDifferent(*shot) == 0;
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

// The window's client area as the screen shows it after a full redraw.
std::unique_ptr<Canvas> Redrawn(HWND window)
{
    // Paints that a change left pending come first: one that came after
    // the redraw would draw the hollow texts over themselves.
    PumpUntil([&] { return NothingToPaint(window); }, 3000);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine paints another thread's windows inside the call, but that
    // thread hands its drawing to the display only once it waits again:
    // answering a message shows that it has.
    SendMessageA(window, WM_NULL, 0, 0);
    return Settled(window, false);
}

struct Ink
{
    RECT box;  // in the dialog's client area, right and bottom inclusive
    int pixels;
};

// Where `control`'s text shows in `dialog`: what changes when it becomes a
// space (a radio button without any text puts its mark elsewhere).
Ink InkOf(HWND dialog, HWND control)
{
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    const std::unique_ptr<Canvas> with = Redrawn(dialog);
    SetWindowTextW(control, L" ");
    const std::unique_ptr<Canvas> without = Redrawn(dialog);
    SetWindowTextW(control, text);
    Ink ink;
    ink.pixels = with->CountDifferent(*without, &ink.box);
    return ink;
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Every visible text of `dialog` (owner-drawn buttons draw pictures) is
// whole: the same ink as in a control with twice its width and more height,
// where nothing wraps or is cut, and clear of its control's right edge.
// Returns each text's ink.
std::vector<Ink> ExpectTextsWhole(HWND dialog)
{
    std::vector<Ink> inks;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        const bool button = lstrcmpiA(className, "Button") == 0;
        if (!IsWindowVisible(child) || GetWindowTextLengthW(child) == 0 ||
            (button && (style & BS_TYPEMASK) == BS_OWNERDRAW) || (!button && lstrcmpiA(className, "Static") != 0))
            continue;
        const RECT rect = ClientRectOf(dialog, child);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        const Ink ink = InkOf(dialog, child);
        SetWindowPos(child, nullptr, 0, 0, width * 2, height * 13 / 8, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const Ink roomy = InkOf(dialog, child);
        SetWindowPos(child, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SCOPED_TRACE(std::string(className) + " " + Describe(rect) + ", its ink " + Describe(ink.box) +
                     ", with room " + Describe(roomy.box));
        EXPECT_GT(ink.pixels, 0);
        EXPECT_EQ(roomy.box.right - roomy.box.left, ink.box.right - ink.box.left) << "cut or wrapped";
        EXPECT_EQ(roomy.box.bottom - roomy.box.top, ink.box.bottom - ink.box.top) << "cut or wrapped";
        EXPECT_LT(ink.box.right, rect.right - 1) << "runs to its control's right edge";
        inks.push_back(ink);
    }
    return inks;
}

// A secondary dialog, opened from the tray menu's command, looked at by
// `check` and closed again.
void WithDialog(const NetChangeProcess& program, HWND panel, WORD command, const char* title,
                const std::function<void(HWND)>& check)
{
    PostMessageA(panel, WM_COMMAND, command, 0);
    HWND dialog = program.WaitForWindow(title, 5000);
    ASSERT_NE(nullptr, dialog) << title;
    check(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 3000));
}

// The panel's picture alone, then its lines on it (the buttons stay hidden,
// so this comes last):
// every text whole and inside the text box of the picture as drawn, the
// buttons' faces grown with the picture, and at 100 % the picture 1:1.
void ExpectPanelRight(HWND panel, int dpi)
{
    std::vector<HWND> lines;
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0)
            lines.push_back(child);
        ShowWindow(child, SW_HIDE);
    }
    ASSERT_EQ(5u, lines.size());
    const std::unique_ptr<Canvas> background = Repainted(panel);
    for (HWND line : lines)
        ShowWindow(line, SW_SHOW);
    // The buttons' faces grow with the picture: 111 x 44 of its 522 x 344.
    const SIZE drawn = ScaledPicture::DrawnSize({522, 344}, {background->Width(), background->Height()});
    for (int id : {IDOK, ID_PANEL_ABOUT, IDCANCEL}) {
        RECT face;
        GetClientRect(GetDlgItem(panel, id), &face);
        EXPECT_EQ(MulDiv(111, drawn.cx, 522), face.right) << "button " << id;
        EXPECT_EQ(MulDiv(44, drawn.cy, 344), face.bottom) << "button " << id;
    }
    const RECT box = BoxOf(*background, [](COLORREF c) { return Near(c, kTextBoxFill, 2); }, 3);
    SCOPED_TRACE("panel " + std::to_string(background->Width()) + "x" + std::to_string(background->Height()) +
                 ", text box " + Describe(box));
    ASSERT_LT(box.left, box.right);
    const std::vector<Ink> inks = ExpectTextsWhole(panel);
    EXPECT_EQ(lines.size(), inks.size());
    for (const Ink& ink : inks)
        EXPECT_TRUE(ink.box.left >= box.left && ink.box.top >= box.top && ink.box.right < box.right &&
                    ink.box.bottom < box.bottom)
            << "outside the text box: " << Describe(ink.box);
    if (dpi == 96) {
        EXPECT_EQ(0, CountNotPicture(*background, ReadResourceBitmap(IDB_PANEL), background->Width(),
                                     background->Height()));
    }
}

// The flag's 内 in the middle of the flag, every pixel painted, and at 100 %
// its picture 1:1.
void ExpectFlagRight(HWND flag, int dpi)
{
    const std::unique_ptr<Canvas> flagShot = Repainted(flag);
    ASSERT_NE(nullptr, flagShot);
    const RECT glyph = BoxOf(*flagShot, [](COLORREF c) { return Near(c, RGB(255, 255, 255), 40); }, 1000);
    SCOPED_TRACE("flag " + std::to_string(flagShot->Width()) + "x" + std::to_string(flagShot->Height()) +
                 ", its glyph " + Describe(glyph));
    EXPECT_LE(abs(glyph.left + glyph.right - flagShot->Width()), 6) << "not centred across";
    EXPECT_LE(abs(glyph.top + glyph.bottom - flagShot->Height()), 6) << "not centred down";
    if (dpi == 96) {
        EXPECT_EQ(0, CountNotPicture(*flagShot, ReadResourceBitmap(IDB_NETFLAG), flagShot->Width(),
                                     flagShot->Height()));
    }
}

// A window's client size and its controls' rectangles.
struct Layout
{
    SIZE client = {0, 0};
    std::vector<RECT> controls;
};

Layout LayoutOf(HWND window)
{
    Layout layout;
    RECT client;
    GetClientRect(window, &client);
    layout.client = {client.right, client.bottom};
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        layout.controls.push_back(ClientRectOf(window, child));
    return layout;
}

void ExpectLayoutNear(const Layout& want, const Layout& got, int tolerance)
{
    EXPECT_NEAR(want.client.cx, got.client.cx, tolerance);
    EXPECT_NEAR(want.client.cy, got.client.cy, tolerance);
    ASSERT_EQ(want.controls.size(), got.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const RECT& a = want.controls[i];
        const RECT& b = got.controls[i];
        EXPECT_TRUE(abs(a.left - b.left) <= tolerance && abs(a.top - b.top) <= tolerance &&
                    abs(a.right - b.right) <= tolerance && abs(a.bottom - b.bottom) <= tolerance)
            << "control " << i << ": " << Describe(b) << ", a fresh start " << Describe(a);
    }
}

// What Windows does when the window meets another DPI, and Wine never does:
// as Windows 10 does, it may first ask the window for its size there; then
// it tells it, with a suggested rectangle (that size, or the window's
// scaled, from its top-left corner as far as the screen allows) in the
// window's own process.
struct DpiChange
{
    RECT suggested;
    bool answered;  // the window gave its size
};

DpiChange SendDpiChange(const NetChangeProcess& program, HWND window, int dpi, int from, bool askFirst)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SIZE size = {MulDiv(rect.right - rect.left, dpi, from), MulDiv(rect.bottom - rect.top, dpi, from)};
    void* remote = VirtualAllocEx(program.Handle(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR answer = FALSE;
    if (askFirst) {
        WriteProcessMemory(program.Handle(), remote, &size, sizeof size, nullptr);
        SendMessageTimeoutA(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000,
                            &answer);
        ReadProcessMemory(program.Handle(), remote, &size, sizeof size, nullptr);
    }
    const LONG left = std::max(0L, std::min(rect.left, GetSystemMetrics(SM_CXSCREEN) - size.cx));
    const LONG top = std::max(0L, std::min(rect.top, GetSystemMetrics(SM_CYSCREEN) - size.cy));
    const DpiChange change = {{left, top, left + size.cx, top + size.cy}, answer != FALSE};
    WriteProcessMemory(program.Handle(), remote, &change.suggested, sizeof change.suggested, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                        5000, &ignored);
    VirtualFreeEx(program.Handle(), remote, 0, MEM_RELEASE);
    return change;
}

// A process's GDI objects once its windows have painted what they had to.
long SettledGdiObjects(const NetChangeProcess& program, HWND window)
{
    PumpUntil([&] { return NothingToPaint(window); }, 3000);
    SendMessageA(window, WM_NULL, 0, 0);
    return CountGdiObjects(program.Handle());
}

// The scaling a desktop has: from the start (changedFrom 0), or changed
// while the program runs, from `changedFrom` to `dpi`, with or without the
// question of Windows 10 first.
struct Desktop
{
    int dpi;
    bool withKai;
    int changedFrom;
    bool sizeAskedFirst;
};

void PrintTo(const Desktop& desktop, std::ostream* out)
{
    *out << desktop.dpi << (desktop.withKai ? " with Kai" : "") << " from " << desktop.changedFrom;
}

class ScalingTest : public testing::TestWithParam<Desktop>
{
protected:
    enum Window { kPanel, kAbout, kSettings, kFlag, kWindows };

    // `look` at each window of the program: the panel, the About box and
    // the settings dialog (opened from the tray menu's commands), the flag.
    static void EachWindow(const NetChangeProcess& program, const std::function<void(Window, HWND)>& look)
    {
        HWND panel = program.WaitForPanel(10000);
        HWND flag = program.WaitForFlag(10000);
        ASSERT_TRUE(panel != nullptr && flag != nullptr);
        look(kPanel, panel);
        WithDialog(program, panel, ID_MENU_ABOUT, "关于", [&](HWND about) { look(kAbout, about); });
        WithDialog(program, panel, ID_MENU_SETTINGS, "设置", [&](HWND settings) { look(kSettings, settings); });
        look(kFlag, flag);
    }
};

// Every text of the panel, the About box and the settings dialog is whole,
// the panel's lines inside the text box of the picture as drawn; the flag's
// 内 stands in the middle of the flag, every pixel is painted, and at 100 %
// both pictures are drawn 1:1 as they always were. After a change of DPI
// each window is what a fresh start there shows, and back at the first DPI
// it is pixel for pixel what it was, with no GDI object more.
TEST_P(ScalingTest, TextsAreWholeLinesStayInTheTextBoxAndTheFlagIsCentred)
{
    const Desktop desktop = GetParam();
    const int dpi = desktop.dpi;
    UserRegistryValue logPixels("Control Panel\\Desktop", "LogPixels");
    UserRegistryValue kai("Software\\Wine\\Fonts\\Replacements", "华文楷体");
    if (!desktop.withKai)
        kai.Delete();
    // No tooltip of a button under the mouse may cover what is looked at:
    // the mouse waits at the screen's left edge, beside every window.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) / 2);
    const std::function<void(HWND)> checks[kWindows] = {
        [dpi](HWND panel) { ExpectPanelRight(panel, dpi); },
        [](HWND about) { EXPECT_EQ(6u, ExpectTextsWhole(about).size()); },
        [](HWND settings) { EXPECT_EQ(5u, ExpectTextsWhole(settings).size()); },
        [dpi](HWND flag) { ExpectFlagRight(flag, dpi); },
    };
    Layout fresh[kWindows];
    RECT freshFlag = {};
    if (desktop.changedFrom != 0) {
        logPixels.SetDword(static_cast<DWORD>(dpi));
        NetChangeProcess reference("fresh start");
        ASSERT_TRUE(reference.Start());
        EachWindow(reference, [&](Window which, HWND window) {
            fresh[which] = LayoutOf(window);
            GetWindowRect(window, &freshFlag);  // the flag's comes last
        });
    }
    logPixels.SetDword(static_cast<DWORD>(desktop.changedFrom != 0 ? desktop.changedFrom : dpi));
    NetChangeProcess program("scaling");
    ASSERT_TRUE(program.Start());
    EachWindow(program, [&](Window which, HWND window) {
        if (desktop.changedFrom == 0) {
            checks[which](window);
            return;
        }
        SCOPED_TRACE("window " + std::to_string(which));
        const long gdi = SettledGdiObjects(program, window);
        ASSERT_GT(gdi, 0) << "the GDI handle table cannot be read";
        const Layout first = LayoutOf(window);
        const std::unique_ptr<Canvas> before = Redrawn(window);
        const DpiChange change = SendDpiChange(program, window, dpi, desktop.changedFrom, desktop.sizeAskedFirst);
        ExpectLayoutNear(fresh[which], LayoutOf(window), 2);
        RECT placed;
        GetWindowRect(window, &placed);
        if (which == kFlag) {
            EXPECT_EQ(freshFlag.left, placed.left) << "in the corner";
            EXPECT_EQ(freshFlag.top, placed.top) << "in the corner";
        } else {
            EXPECT_EQ(change.suggested.left, placed.left);
            EXPECT_EQ(change.suggested.top, placed.top);
        }
        // The size it gave is the size it took: Windows then moves it no more.
        EXPECT_EQ(desktop.sizeAskedFirst, change.answered);
        if (change.answered) {
            EXPECT_EQ(change.suggested.right - change.suggested.left, placed.right - placed.left);
            EXPECT_EQ(change.suggested.bottom - change.suggested.top, placed.bottom - placed.top);
        }
        SendDpiChange(program, window, desktop.changedFrom, dpi, false);
        ExpectLayoutNear(first, LayoutOf(window), 0);
        EXPECT_EQ(0, Redrawn(window)->CountDifferent(*before)) << "back at the first DPI";
        for (int trip = 0; trip < 10; ++trip) {
            SendDpiChange(program, window, dpi, desktop.changedFrom, desktop.sizeAskedFirst);
            SendDpiChange(program, window, desktop.changedFrom, dpi, false);
        }
        EXPECT_EQ(gdi, SettledGdiObjects(program, window)) << "GDI objects after eleven round trips";
        SendDpiChange(program, window, dpi, desktop.changedFrom, false);
        checks[which](window);
    });
}

// 100 % to 300 %, from the start and changed while running (175 % and up
// run against the shipped program only: tests/system/CMakeLists.txt).
std::vector<Desktop> Desktops()
{
    std::vector<Desktop> desktops;
    for (bool withKai : {false, true}) {
        for (int dpi : {96, 120, 144, 168, 192, 240, 288})
            desktops.push_back({dpi, withKai, 0, false});
        for (const Desktop change : {Desktop{144, withKai, 96, true}, Desktop{192, withKai, 96, false},
                                     Desktop{288, withKai, 96, true}, Desktop{96, withKai, 144, false}})
            desktops.push_back(change);
    }
    return desktops;
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScalingTest, testing::ValuesIn(Desktops()),
                         [](const testing::TestParamInfo<Desktop>& param) {
                             const Desktop& desktop = param.param;
                             return "Dpi" + std::to_string(desktop.dpi) + (desktop.withKai ? "WithKai" : "WithoutKai") +
                                    (desktop.changedFrom == 0 ? ""
                                                              : "From" + std::to_string(desktop.changedFrom) +
                                                                    (desktop.sizeAskedFirst ? "SizeAskedFirst" : ""));
                         });

}  // namespace
