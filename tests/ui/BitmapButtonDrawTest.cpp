// The bitmap button's looks: which picture, which edge, the focus
// rectangle and the size, read back from pixels.
#include <gtest/gtest.h>

#include "ButtonHarness.h"
#include "MessageNames.h"
#include "UiTestDialogs.h"
#include "res/resource.h"
#include "support/Pump.h"

namespace {

class BitmapButtonDraw : public testing::Test
{
protected:
    // Attaches to the default button with `style` and the test strip,
    // indices as the program gives them unless told otherwise.
    void Attach(DWORD style, int normal = 1, int pushed = 2, int focus = 3, int disabled = 0)
    {
        button_.extendedStyle = style;
        button_.pressed = button_.hasFocus = button_.mouseOver = false;
        if (control_ == nullptr)
            control_ = dialog_.Item(IDC_UI_DEFAULT);
        else if (!IsWindow(control_))
            control_ = dialog_.Renew(IDC_UI_DEFAULT);
        SetFocus(dialog_.Item(IDC_UI_PLAIN));
        ASSERT_TRUE(button_.AttachToControl(control_));
        button_.AssignImageStrip(strip_);
        button_.AssignImageIndices(normal, pushed, focus, disabled);
        RECT client;
        GetClientRect(control_, &client);
        ASSERT_EQ(kImageWidth, client.right);
        ASSERT_EQ(kImageHeight, client.bottom);
    }

    Rendering Look()
    {
        Render(control_, canvas_);
        return WhichPicture(canvas_);
    }

    // How many pixels of the button differ from the reference drawing.
    int DifferenceFrom(int index, int offset, UINT edge, bool focus)
    {
        Render(control_, canvas_);
        Canvas reference(kImageWidth, kImageHeight);
        DrawReference(reference, strip_, index, offset, edge, focus);
        return canvas_.CountDifferent(reference);
    }

    HIMAGELIST strip_ = MakeTestStrip();
    CBmpBtn button_;
    ButtonDialog dialog_;
    HWND control_ = nullptr;
    Canvas canvas_{kImageWidth, kImageHeight};
};

TEST_F(BitmapButtonDraw, AttachingMakesTemplatePushButtonsOwnerDrawn)
{
    for (int id : {IDC_UI_DEFAULT, IDC_UI_PLAIN}) {
        SCOPED_TRACE(id);
        HWND control = dialog_.Item(id);
        const LONG_PTR before = GetWindowLongPtrA(control, GWL_STYLE);
        ASSERT_EQ(id == IDC_UI_DEFAULT ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, before & BS_TYPEMASK);
        RecordStandardProcedure(control);
        CBmpBtn button;
        ASSERT_TRUE(button.AttachToControl(control));
        const LONG_PTR after = GetWindowLongPtrA(control, GWL_STYLE);
        EXPECT_EQ(BS_OWNERDRAW, after & BS_TYPEMASK);
        // Only the button type changes.
        EXPECT_EQ(before & ~static_cast<LONG_PTR>(BS_TYPEMASK), after & ~static_cast<LONG_PTR>(BS_TYPEMASK));
        EXPECT_EQ(RecordingProcedure(), button.m_previousProcedure);
        EXPECT_EQ(control, button.m_hWnd);

        // Prepare made a tooltip.
        ASSERT_TRUE(IsWindow(button.tooltip));
        char className[32] = {};
        GetClassNameA(button.tooltip, className, sizeof className);
        EXPECT_STREQ(TOOLTIPS_CLASSA, className);
        // The object must not outlive its window's subclassing.
        DestroyWindow(control);
        EXPECT_EQ(nullptr, button.m_hWnd);
    }
}

TEST_F(BitmapButtonDraw, PictureFollowsEnabledPressedAndFocus)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    struct Case
    {
        const char* name;
        bool enabled;
        bool pressed;
        bool focus;
        int picture;
    };
    const Case cases[] = {
        {"plain", true, false, false, 1},       {"focus", true, false, true, 3},
        {"pressed", true, true, false, 2},      {"pressed with focus", true, true, true, 2},
        {"disabled", false, false, false, 0},   {"disabled, pressed, focus", false, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnableWindow(control_, c.enabled);
        button_.pressed = c.pressed;
        button_.hasFocus = c.focus;
        const Rendering look = Look();
        EXPECT_EQ(c.picture, look.picture);
        EXPECT_EQ(-1, look.shiftedPicture);
    }
}

TEST_F(BitmapButtonDraw, RealFocusAndPressChooseTheirPictures)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    SetFocus(dialog_.Item(IDC_UI_PLAIN));
    EXPECT_FALSE(button_.hasFocus);
    EXPECT_EQ(1, Look().picture);

    SetFocus(control_);
    EXPECT_TRUE(button_.hasFocus);
    EXPECT_EQ(3, Look().picture);

    SendMessageA(control_, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(button_.pressed);
    EXPECT_EQ(2, Look().picture);
    SendMessageA(control_, WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(button_.pressed);

    SetFocus(dialog_.Item(IDC_UI_PLAIN));
    EXPECT_FALSE(button_.hasFocus);
    EXPECT_EQ(1, Look().picture);

    EnableWindow(control_, FALSE);
    EXPECT_EQ(0, Look().picture);
}

TEST_F(BitmapButtonDraw, UnsetPicturesFallBackToNormal)
{
    Attach(BUTTON_FIT_TO_IMAGE, 1, -1, -1, -1);
    button_.hasFocus = true;
    EXPECT_EQ(1, Look().picture);
    button_.hasFocus = false;
    // Without an edge a press moves nothing.
    button_.pressed = true;
    EXPECT_EQ(1, Look().picture);
    button_.pressed = false;
    EnableWindow(control_, FALSE);
    EXPECT_EQ(1, Look().picture);
}

// Without a pushed picture an edged button shows a press by moving the
// normal picture one pixel right and down; with one it draws that unmoved.
TEST_F(BitmapButtonDraw, PressWithoutPushedPictureShiftsByOnePixel)
{
    for (DWORD edge : {BUTTON_EDGE_SINGLE, BUTTON_EDGE_DOUBLE, BUTTON_EDGE_SINGLE | BUTTON_EDGE_DOUBLE}) {
        SCOPED_TRACE(edge);
        Attach(edge | BUTTON_FIT_TO_IMAGE, 1, -1, 3, 0);
        button_.pressed = true;
        const Rendering shifted = Look();
        EXPECT_EQ(-1, shifted.picture);
        EXPECT_EQ(1, shifted.shiftedPicture);

        button_.AssignImageIndices(1, 2, 3, 0);
        const Rendering pushed = Look();
        EXPECT_EQ(2, pushed.picture);
        EXPECT_EQ(-1, pushed.shiftedPicture);

        button_.pressed = false;
        const Rendering released = Look();
        EXPECT_EQ(1, released.picture);
        DestroyWindow(control_);
    }
}

TEST_F(BitmapButtonDraw, ThinEdgeWinsWhenBothEdgeBitsAreSet)
{
    // The two edges must look different, or the comparisons prove nothing.
    Canvas thin(kImageWidth, kImageHeight);
    Canvas thick(kImageWidth, kImageHeight);
    DrawReference(thin, strip_, 1, 0, BDR_RAISEDINNER, false);
    DrawReference(thick, strip_, 1, 0, EDGE_RAISED, false);
    ASSERT_GT(thin.CountDifferent(thick), 0);

    Attach(BUTTON_EDGE_SINGLE | BUTTON_EDGE_DOUBLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, BDR_RAISEDINNER, false));
    EXPECT_NE(0, DifferenceFrom(1, 0, EDGE_RAISED, false));
    button_.pressed = true;
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
    EXPECT_NE(0, DifferenceFrom(2, 0, EDGE_SUNKEN, false));
}

TEST_F(BitmapButtonDraw, EachEdgeBitAloneDrawsItsEdge)
{
    Attach(BUTTON_EDGE_DOUBLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, EDGE_RAISED, false));
    button_.pressed = true;
    EXPECT_EQ(0, DifferenceFrom(2, 0, EDGE_SUNKEN, false));
    DestroyWindow(control_);

    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, BDR_RAISEDINNER, false));
    button_.pressed = true;
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
    DestroyWindow(control_);

    Attach(BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, 0, false));
}

TEST_F(BitmapButtonDraw, FocusRectangleInNormalModeOnly)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    button_.hasFocus = true;
    EXPECT_EQ(0, DifferenceFrom(3, 0, BDR_RAISEDINNER, true));
    button_.pressed = true;
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, true));
    DestroyWindow(control_);

    // Hover mode: the picture follows the mouse, there is no focus
    // rectangle, and no edge while the mouse is away.
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    button_.hasFocus = true;
    EXPECT_EQ(0, DifferenceFrom(1, 0, 0, false));
    button_.mouseOver = true;
    EXPECT_EQ(0, DifferenceFrom(3, 0, BDR_RAISEDINNER, false));
    button_.pressed = true;
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
}

TEST_F(BitmapButtonDraw, EraseLeavesTheBackgroundAlone)
{
    RecordStandardProcedure(dialog_.Item(IDC_UI_DEFAULT));
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    ClearEvents();
    canvas_.Fill(RGB(0xFE, 0x01, 0xFD));
    EXPECT_EQ(1, SendMessageA(control_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas_.Dc()), 0));
    EXPECT_EQ(0, canvas_.CountOther({0, 0, kImageWidth, kImageHeight}, RGB(0xFE, 0x01, 0xFD)));
    EXPECT_EQ(std::vector<std::string>{}, Lines([](const Event& e) { return e.source == "std"; }));
}

// A button larger than its picture shows the button face around it.
TEST_F(BitmapButtonDraw, PaintFillsTheFaceAroundThePicture)
{
    button_.extendedStyle = 0;
    control_ = dialog_.Item(IDC_UI_DEFAULT);
    ASSERT_TRUE(button_.AttachToControl(control_));
    button_.AssignImageStrip(strip_);
    button_.AssignImageIndices(1, 2, 3, 0);
    RECT client;
    GetClientRect(control_, &client);
    ASSERT_GT(client.right, kImageWidth + 4);
    ASSERT_GT(client.bottom, kImageHeight + 4);
    Canvas large(client.right, client.bottom);
    Render(control_, large);
    EXPECT_EQ(1, WhichPicture(large).picture);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(0, large.CountOther({kImageWidth, 0, client.right, client.bottom}, face));
    EXPECT_EQ(0, large.CountOther({0, kImageHeight, client.right, client.bottom}, face));
}

TEST_F(BitmapButtonDraw, WmPaintDrawsTheSamePictureOnScreen)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    button_.hasFocus = false;
    InvalidateRect(control_, nullptr, TRUE);
    UpdateWindow(control_);
    PumpMessages(20);
    // What the screen shows of the button, copied back.
    HDC screen = GetDC(control_);
    Canvas shown(kImageWidth, kImageHeight);
    BitBlt(shown.Dc(), 0, 0, kImageWidth, kImageHeight, screen, 0, 0, SRCCOPY);
    ReleaseDC(control_, screen);
    if (GetForegroundWindow() != dialog_.Window())
        GTEST_SKIP() << "the test dialog is covered";
    EXPECT_EQ(1, WhichPicture(shown).picture);
}

class BitmapButtonSize : public testing::Test
{
protected:
    static HIMAGELIST LoadProgramStrip()
    {
        return ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BTN_SETTINGS), 111, 0,
                                    CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    }

    static SIZE WindowSize(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

    static SIZE ClientSize(HWND window)
    {
        RECT rect;
        GetClientRect(window, &rect);
        return {rect.right, rect.bottom};
    }

    CBmpBtn button_;
    ButtonDialog dialog_;
};

TEST_F(BitmapButtonSize, ProgramStripMakesTheButtonOnePictureLarge)
{
    HIMAGELIST strip = LoadProgramStrip();
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(4, ImageList_GetImageCount(strip));
    HWND control = dialog_.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    ASSERT_NE(111, before.cx);
    ASSERT_NE(44, before.cy);

    // The program's order: attach, then the strip.
    ASSERT_TRUE(button_.AttachToControl(control));
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    button_.AssignImageStrip(strip);
    EXPECT_EQ(111, WindowSize(control).cx);
    EXPECT_EQ(44, WindowSize(control).cy);
    EXPECT_EQ(111, ClientSize(control).cx);
    EXPECT_EQ(44, ClientSize(control).cy);
}

TEST_F(BitmapButtonSize, StripGivenBeforeAttachingFitsOnAttach)
{
    HWND control = dialog_.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    button_.AssignImageStrip(LoadProgramStrip());
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    ASSERT_TRUE(button_.AttachToControl(control));
    EXPECT_EQ(111, ClientSize(control).cx);
    EXPECT_EQ(44, ClientSize(control).cy);
}

TEST_F(BitmapButtonSize, WithoutFitToImageTheSizeStays)
{
    button_.extendedStyle = BUTTON_EDGE_SINGLE;
    HWND control = dialog_.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    ASSERT_TRUE(button_.AttachToControl(control));
    button_.AssignImageStrip(LoadProgramStrip());
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    EXPECT_EQ(before.cy, WindowSize(control).cy);

    // A size of -1 keeps that side.
    EXPECT_TRUE(button_.ResizeClientArea(-1, 30, TRUE));
    EXPECT_EQ(before.cx, ClientSize(control).cx);
    EXPECT_EQ(30, ClientSize(control).cy);
    EXPECT_TRUE(button_.ResizeClientArea(70, -1, FALSE));
    EXPECT_EQ(70, ClientSize(control).cx);
    EXPECT_EQ(30, ClientSize(control).cy);

    // A bordered window grows by its border.
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | WS_BORDER);
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_TRUE(button_.ResizeClientArea(50, 20, TRUE));
    EXPECT_EQ(50, ClientSize(control).cx);
    EXPECT_EQ(20, ClientSize(control).cy);
    EXPECT_EQ(50 + 2 * GetSystemMetrics(SM_CXBORDER), WindowSize(control).cx);
}

}  // namespace
