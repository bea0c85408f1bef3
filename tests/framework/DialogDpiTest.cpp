// A dialog laid out for another DPI in-process, where only the dialog
// manager's layout at this one is there to compare with; system tests
// compare each DPI with a fresh start at it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestDialogs.h"
#include "framework/DialogDpi.h"
#include "support/GdiObjects.h"

namespace {

std::vector<std::string> g_calls;
bool g_framesFollow;

BOOL WINAPI RecordDialog(HWND, int mask, int values)
{
    g_calls.push_back("dialog " + std::to_string(mask) + " " + std::to_string(values));
    return TRUE;
}

BOOL WINAPI RecordControl(HWND control, int mask, int values)
{
    g_calls.push_back(std::to_string(GetDlgCtrlID(control)) + " " + std::to_string(mask) + " " +
                      std::to_string(values));
    return TRUE;
}

bool WINAPI FramesFollow(HWND)
{
    return g_framesFollow;
}

// A frame that grows with the DPI, unlike the one the window has.
BOOL WINAPI FrameForDpi(RECT* rect, DWORD, BOOL, DWORD, UINT dpi)
{
    const LONG edge = static_cast<LONG>(dpi) / 24;
    *rect = {rect->left - edge, rect->top - 5 * edge, rect->right + edge, rect->bottom + edge};
    return TRUE;
}

INT_PTR CALLBACK Plain(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

struct Shape
{
    RECT window;
    RECT client;
    std::vector<RECT> controls;
    std::vector<HFONT> fonts;
};

Shape ShapeOf(HWND dialog)
{
    Shape shape;
    GetWindowRect(dialog, &shape.window);
    GetClientRect(dialog, &shape.client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        shape.controls.push_back(rect);
        shape.fonts.push_back(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
    }
    return shape;
}

std::string Describe(const std::vector<RECT>& rects)
{
    std::string text;
    for (const RECT& r : rects)
        text += std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                std::to_string(r.bottom) + " ";
    return text;
}

// The dialog manager's rescaling is switched off, for the dialog and each
// control; at every DPI from 72 to 480 the dialog takes the size it tells,
// where it is told, in a font of that DPI, the client area whatever the
// frame; back at the first DPI it has the dialog manager's own layout and
// font again, and no GDI object more.
TEST(DialogDpi, LaysTheDialogOutForEachDpiAndBackAsTheDialogManagerDid)
{
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    const DpiApi api = {kSystemDpiApi.dpiForWindow, kSystemDpiApi.metricForDpi, &FrameForDpi, &FramesFollow,
                        &RecordDialog, &RecordControl};
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TEST_CONTROLS), nullptr,
                                     &Plain, 0);
    ASSERT_NE(nullptr, dialog);
    const Shape made = ShapeOf(dialog);
    EXPECT_FALSE(DialogTemplate().Read(GetModuleHandleA(nullptr), IDD_TEST_ABSENT));
    g_calls.clear();
    DialogDpi layout(api);
    layout.Start(dialog, GetModuleHandleA(nullptr), IDD_TEST_CONTROLS);
    EXPECT_EQ((std::vector<std::string>{"dialog 1 1", std::to_string(IDC_TEST_BUTTON) + " 3 3",
                                        std::to_string(IDC_TEST_STATIC) + " 3 3"}),
              g_calls);
    const long gdi = CountGdiObjects();
    for (bool framesFollow : {false, true}) {
        g_framesFollow = framesFollow;
        LONG lastWidth = 0;
        for (UINT to : {72u, 120u, 192u, 288u, 480u}) {
            SCOPED_TRACE(std::to_string(to) + (framesFollow ? " DPI, frames that follow" : " DPI"));
            SIZE told = {};
            ASSERT_TRUE(layout.WindowSize(dialog, to, told));
            layout.Change(dialog, to, {40, 30, 0, 0});
            const Shape shape = ShapeOf(dialog);
            EXPECT_EQ(40, shape.window.left);
            EXPECT_EQ(30, shape.window.top);
            // The frame the window has, or the one that follows the DPI.
            RECT frame = {0, 0, made.window.right - made.window.left - made.client.right,
                          made.window.bottom - made.window.top - made.client.bottom};
            if (framesFollow) {
                frame = {0, 0, 0, 0};
                FrameForDpi(&frame, 0, FALSE, 0, to);
            }
            EXPECT_EQ(shape.client.right + frame.right - frame.left, told.cx);
            EXPECT_EQ(shape.client.bottom + frame.bottom - frame.top, told.cy);
            EXPECT_GT(shape.client.right, lastWidth);
            lastWidth = shape.client.right;
            LOGFONTW font = {};
            GetObjectW(layout.Font(), sizeof font, &font);
            EXPECT_EQ(-MulDiv(8, static_cast<int>(to), 72), font.lfHeight);
            EXPECT_EQ(to, layout.Dpi());
            for (HFONT used : shape.fonts)
                EXPECT_EQ(layout.Font(), used);
        }
    }
    layout.Change(dialog, dpi, made.window);
    const Shape back = ShapeOf(dialog);
    EXPECT_EQ(Describe({made.window, made.client}), Describe({back.window, back.client}));
    EXPECT_EQ(Describe(made.controls), Describe(back.controls));
    EXPECT_EQ(made.fonts, back.fonts);
    EXPECT_EQ(gdi, CountGdiObjects());
    DestroyWindow(dialog);
}

FARPROC WINAPI NoSuchFunction(LPCSTR)
{
    return nullptr;
}

FARPROC WINAPI User32Function(LPCSTR name)
{
    return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

// Where user32 lacks Windows 10's calls (XP to 8.1), the system's DPI,
// metrics and frames serve, and nothing is switched off; where it has them,
// they are taken.
TEST(DpiApi, WithoutWindows10sCallsTheSystemsServe)
{
    const DpiApi older = LookUpDpiApi(&NoSuchFunction);
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    const long gdi = CountGdiObjects();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(dpi, older.dpiForWindow(nullptr));
    EXPECT_EQ(gdi, CountGdiObjects()) << "the screen's device context given back";
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), older.metricForDpi(SM_CXSMICON, 2 * dpi));
    RECT frame = {0, 0, 100, 100};
    RECT system = frame;
    older.adjustForDpi(&frame, WS_CAPTION, FALSE, 0, 2 * dpi);
    AdjustWindowRectEx(&system, WS_CAPTION, FALSE, 0);
    EXPECT_TRUE(EqualRect(&system, &frame));
    EXPECT_FALSE(older.framesFollowDpi(nullptr));
    EXPECT_TRUE(older.setDialogDpiChangeBehavior == nullptr && older.setDialogControlDpiChangeBehavior == nullptr);
    const DpiApi newer = LookUpDpiApi(&User32Function);
    const auto as = [](auto function) { return reinterpret_cast<void (*)()>(function); };
    EXPECT_EQ(as(newer.dpiForWindow), as(User32Function("GetDpiForWindow")));
    EXPECT_EQ(as(newer.metricForDpi), as(User32Function("GetSystemMetricsForDpi")));
}

}  // namespace
