// The bitmap button's looks: which picture, which edge, the focus
// rectangle and the size, read back from pixels.
#include <gtest/gtest.h>

#include "ButtonHarness.h"
#include "support/MessageNames.h"
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
        m_button.SetExtendedStyle(style);
        m_button.SetPressed(false);
        m_button.SetHasFocus(false);
        m_button.SetMouseOver(false);
        if (m_control == nullptr)
            m_control = m_dialog.Item(IDC_UI_DEFAULT);
        else if (!IsWindow(m_control))
            m_control = m_dialog.Renew(IDC_UI_DEFAULT);
        SetFocus(m_dialog.Item(IDC_UI_PLAIN));
        ASSERT_TRUE(m_button.AttachToControl(m_control));
        m_button.AssignImageStrip(m_strip);
        m_button.AssignImageIndices(normal, pushed, focus, disabled);
        RECT client;
        GetClientRect(m_control, &client);
        ASSERT_EQ(kImageWidth, client.right);
        ASSERT_EQ(kImageHeight, client.bottom);
    }

    Rendering Look()
    {
        Render(m_control, m_canvas);
        return WhichPicture(m_canvas);
    }

    // How many pixels of the button differ from the reference drawing.
    int DifferenceFrom(int index, int offset, UINT edge, bool focus)
    {
        Render(m_control, m_canvas);
        Canvas reference(kImageWidth, kImageHeight);
        DrawReference(reference, m_strip, index, offset, edge, focus);
        return m_canvas.CountDifferent(reference);
    }

    HIMAGELIST m_strip = MakeTestStrip();
    TestButton m_button;
    ButtonDialog m_dialog;
    HWND m_control = nullptr;
    Canvas m_canvas{kImageWidth, kImageHeight};
};

TEST_F(BitmapButtonDraw, AttachingMakesTemplatePushButtonsOwnerDrawn)
{
    for (int id : {IDC_UI_DEFAULT, IDC_UI_PLAIN}) {
        SCOPED_TRACE(id);
        HWND control = m_dialog.Item(id);
        const LONG_PTR before = GetWindowLongPtrA(control, GWL_STYLE);
        ASSERT_EQ(id == IDC_UI_DEFAULT ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, before & BS_TYPEMASK);
        RecordStandardProcedure(control);
        CBmpBtn button;
        ASSERT_TRUE(button.AttachToControl(control));
        const LONG_PTR after = GetWindowLongPtrA(control, GWL_STYLE);
        EXPECT_EQ(BS_OWNERDRAW, after & BS_TYPEMASK);
        // Only the button type changes.
        EXPECT_EQ(before & ~static_cast<LONG_PTR>(BS_TYPEMASK), after & ~static_cast<LONG_PTR>(BS_TYPEMASK));
        EXPECT_EQ(RecordingProcedure(), button.PreviousProcedure());
        EXPECT_EQ(control, button.m_hWnd);

        // Prepare made a tooltip.
        ASSERT_TRUE(IsWindow(button.Tooltip()));
        char className[32] = {};
        GetClassNameA(button.Tooltip(), className, sizeof className);
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
        EnableWindow(m_control, c.enabled);
        m_button.SetPressed(c.pressed);
        m_button.SetHasFocus(c.focus);
        const Rendering look = Look();
        EXPECT_EQ(c.picture, look.picture);
        EXPECT_EQ(-1, look.shiftedPicture);
    }
}

TEST_F(BitmapButtonDraw, RealFocusAndPressChooseTheirPictures)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    SetFocus(m_dialog.Item(IDC_UI_PLAIN));
    EXPECT_FALSE(m_button.HasFocus());
    EXPECT_EQ(1, Look().picture);

    SetFocus(m_control);
    EXPECT_TRUE(m_button.HasFocus());
    EXPECT_EQ(3, Look().picture);

    SendMessageA(m_control, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(2, Look().picture);
    SendMessageA(m_control, WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(m_button.Pressed());

    SetFocus(m_dialog.Item(IDC_UI_PLAIN));
    EXPECT_FALSE(m_button.HasFocus());
    EXPECT_EQ(1, Look().picture);

    EnableWindow(m_control, FALSE);
    EXPECT_EQ(0, Look().picture);
}

TEST_F(BitmapButtonDraw, UnsetPicturesFallBackToNormal)
{
    Attach(BUTTON_FIT_TO_IMAGE, 1, -1, -1, -1);
    m_button.SetHasFocus(true);
    EXPECT_EQ(1, Look().picture);
    m_button.SetHasFocus(false);
    // Without an edge a press moves nothing.
    m_button.SetPressed(true);
    EXPECT_EQ(1, Look().picture);
    m_button.SetPressed(false);
    EnableWindow(m_control, FALSE);
    EXPECT_EQ(1, Look().picture);
}

// Without a pushed picture an edged button shows a press by moving the
// normal picture one pixel right and down; with one it draws that unmoved.
TEST_F(BitmapButtonDraw, PressWithoutPushedPictureShiftsByOnePixel)
{
    for (DWORD edge : {BUTTON_EDGE_SINGLE, BUTTON_EDGE_DOUBLE, BUTTON_EDGE_SINGLE | BUTTON_EDGE_DOUBLE}) {
        SCOPED_TRACE(edge);
        Attach(edge | BUTTON_FIT_TO_IMAGE, 1, -1, 3, 0);
        m_button.SetPressed(true);
        const Rendering shifted = Look();
        EXPECT_EQ(-1, shifted.picture);
        EXPECT_EQ(1, shifted.shiftedPicture);

        m_button.AssignImageIndices(1, 2, 3, 0);
        const Rendering pushed = Look();
        EXPECT_EQ(2, pushed.picture);
        EXPECT_EQ(-1, pushed.shiftedPicture);

        m_button.SetPressed(false);
        const Rendering released = Look();
        EXPECT_EQ(1, released.picture);
        DestroyWindow(m_control);
    }
}

TEST_F(BitmapButtonDraw, ThinEdgeWinsWhenBothEdgeBitsAreSet)
{
    // The two edges must look different, or the comparisons prove nothing.
    Canvas thin(kImageWidth, kImageHeight);
    Canvas thick(kImageWidth, kImageHeight);
    DrawReference(thin, m_strip, 1, 0, BDR_RAISEDINNER, false);
    DrawReference(thick, m_strip, 1, 0, EDGE_RAISED, false);
    ASSERT_GT(thin.CountDifferent(thick), 0);

    Attach(BUTTON_EDGE_SINGLE | BUTTON_EDGE_DOUBLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, BDR_RAISEDINNER, false));
    EXPECT_NE(0, DifferenceFrom(1, 0, EDGE_RAISED, false));
    m_button.SetPressed(true);
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
    EXPECT_NE(0, DifferenceFrom(2, 0, EDGE_SUNKEN, false));
}

TEST_F(BitmapButtonDraw, EachEdgeBitAloneDrawsItsEdge)
{
    Attach(BUTTON_EDGE_DOUBLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, EDGE_RAISED, false));
    m_button.SetPressed(true);
    EXPECT_EQ(0, DifferenceFrom(2, 0, EDGE_SUNKEN, false));
    DestroyWindow(m_control);

    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, BDR_RAISEDINNER, false));
    m_button.SetPressed(true);
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
    DestroyWindow(m_control);

    Attach(BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, DifferenceFrom(1, 0, 0, false));
}

TEST_F(BitmapButtonDraw, FocusRectangleInNormalModeOnly)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    m_button.SetHasFocus(true);
    EXPECT_EQ(0, DifferenceFrom(3, 0, BDR_RAISEDINNER, true));
    m_button.SetPressed(true);
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, true));
    DestroyWindow(m_control);

    // Hover mode: the picture follows the mouse, there is no focus
    // rectangle, and no edge while the mouse is away.
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    m_button.SetHasFocus(true);
    EXPECT_EQ(0, DifferenceFrom(1, 0, 0, false));
    m_button.SetMouseOver(true);
    EXPECT_EQ(0, DifferenceFrom(3, 0, BDR_RAISEDINNER, false));
    m_button.SetPressed(true);
    EXPECT_EQ(0, DifferenceFrom(2, 0, BDR_SUNKENOUTER, false));
}

TEST_F(BitmapButtonDraw, EraseLeavesTheBackgroundAlone)
{
    RecordStandardProcedure(m_dialog.Item(IDC_UI_DEFAULT));
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    ClearEvents();
    m_canvas.Fill(RGB(0xFE, 0x01, 0xFD));
    EXPECT_EQ(1, SendMessageA(m_control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_canvas.Dc()), 0));
    EXPECT_EQ(0, m_canvas.CountOther({0, 0, kImageWidth, kImageHeight}, RGB(0xFE, 0x01, 0xFD)));
    EXPECT_EQ(std::vector<std::string>{}, Lines([](const Event& e) { return e.source == "std"; }));
}

// A button larger than its picture shows the button face around it.
TEST_F(BitmapButtonDraw, PaintFillsTheFaceAroundThePicture)
{
    m_button.SetExtendedStyle(0);
    m_control = m_dialog.Item(IDC_UI_DEFAULT);
    ASSERT_TRUE(m_button.AttachToControl(m_control));
    m_button.AssignImageStrip(m_strip);
    m_button.AssignImageIndices(1, 2, 3, 0);
    RECT client;
    GetClientRect(m_control, &client);
    ASSERT_GT(client.right, kImageWidth + 4);
    ASSERT_GT(client.bottom, kImageHeight + 4);
    Canvas large(client.right, client.bottom);
    Render(m_control, large);
    EXPECT_EQ(1, WhichPicture(large).picture);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(0, large.CountOther({kImageWidth, 0, client.right, client.bottom}, face));
    EXPECT_EQ(0, large.CountOther({0, kImageHeight, client.right, client.bottom}, face));
}

TEST_F(BitmapButtonDraw, WmPaintDrawsTheSamePictureOnScreen)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    m_button.SetHasFocus(false);
    InvalidateRect(m_control, nullptr, TRUE);
    UpdateWindow(m_control);
    PumpMessages(20);
    // What the screen shows of the button, copied back.
    HDC screen = GetDC(m_control);
    Canvas shown(kImageWidth, kImageHeight);
    BitBlt(shown.Dc(), 0, 0, kImageWidth, kImageHeight, screen, 0, 0, SRCCOPY);
    ReleaseDC(m_control, screen);
    if (GetForegroundWindow() != m_dialog.Window())
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

    TestButton m_button;
    ButtonDialog m_dialog;
};

TEST_F(BitmapButtonSize, ProgramStripMakesTheButtonOnePictureLarge)
{
    HIMAGELIST strip = LoadProgramStrip();
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(4, ImageList_GetImageCount(strip));
    HWND control = m_dialog.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    ASSERT_NE(111, before.cx);
    ASSERT_NE(44, before.cy);

    // The program's order: attach, then the strip.
    ASSERT_TRUE(m_button.AttachToControl(control));
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    m_button.AssignImageStrip(strip);
    EXPECT_EQ(111, WindowSize(control).cx);
    EXPECT_EQ(44, WindowSize(control).cy);
    EXPECT_EQ(111, ClientSize(control).cx);
    EXPECT_EQ(44, ClientSize(control).cy);
}

TEST_F(BitmapButtonSize, StripGivenBeforeAttachingFitsOnAttach)
{
    HWND control = m_dialog.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    m_button.AssignImageStrip(LoadProgramStrip());
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    ASSERT_TRUE(m_button.AttachToControl(control));
    EXPECT_EQ(111, ClientSize(control).cx);
    EXPECT_EQ(44, ClientSize(control).cy);
}

TEST_F(BitmapButtonSize, WithoutFitToImageTheSizeStays)
{
    m_button.SetExtendedStyle(BUTTON_EDGE_SINGLE);
    HWND control = m_dialog.Item(IDC_UI_DEFAULT);
    const SIZE before = WindowSize(control);
    ASSERT_TRUE(m_button.AttachToControl(control));
    m_button.AssignImageStrip(LoadProgramStrip());
    EXPECT_EQ(before.cx, WindowSize(control).cx);
    EXPECT_EQ(before.cy, WindowSize(control).cy);

    // A size of -1 keeps that side.
    EXPECT_TRUE(m_button.ResizeClientArea(-1, 30, TRUE));
    EXPECT_EQ(before.cx, ClientSize(control).cx);
    EXPECT_EQ(30, ClientSize(control).cy);
    EXPECT_TRUE(m_button.ResizeClientArea(70, -1, FALSE));
    EXPECT_EQ(70, ClientSize(control).cx);
    EXPECT_EQ(30, ClientSize(control).cy);

    // A bordered window grows by its border.
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | WS_BORDER);
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_TRUE(m_button.ResizeClientArea(50, 20, TRUE));
    EXPECT_EQ(50, ClientSize(control).cx);
    EXPECT_EQ(20, ClientSize(control).cy);
    EXPECT_EQ(50 + 2 * GetSystemMetrics(SM_CXBORDER), WindowSize(control).cx);
}

}  // namespace
