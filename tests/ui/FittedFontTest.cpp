// The fitted font on its own: the largest size of the dialog's face in which
// a line fits its control, made only where the dialog's font does not fit.
#include <gtest/gtest.h>

#include <string>

#include "UiTestDialogs.h"
#include "support/GdiObjects.h"
#include "ui/FittedFont.h"

namespace {

INT_PTR CALLBACK PlainProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The window's text in `font`: its width, and the font's height.
SIZE Measure(HWND window, HFONT font)
{
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    HDC dc = GetDC(window);
    HGDIOBJ replaced = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, replaced);
    ReleaseDC(window, dc);
    return {extent.cx, metrics.tmHeight};
}

// Does the window's text in `font` fit `room`, its last column left clear?
bool Fits(HWND window, HFONT font, SIZE room)
{
    const SIZE size = Measure(window, font);
    return size.cy <= room.cy && size.cx <= room.cx - 1;
}

TEST(FittedFont, ALineGetsTheLargestSizeThatFitsItsControl)
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UI_FIT), nullptr,
                                     &PlainProcedure, 0);
    ASSERT_NE(nullptr, dialog);
    HWND line = GetDlgItem(dialog, IDC_UI_FIT_LINE);
    HWND check = GetDlgItem(dialog, IDC_UI_FIT_CHECK);
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    // The fit measures in a window DC: Wine makes its cache entry once.
    ReleaseDC(dialog, GetDC(dialog));
    const int text = Measure(line, dialogFont).cx;
    const int markWidth = GetSystemMetrics(SM_CXMENUCHECK);
    // Beside a check box's text: its mark and an edge on either side.
    const int checkChrome = markWidth + 2 * GetSystemMetrics(SM_CXEDGE);
    const struct
    {
        HWND control;
        SIZE size;
        int chrome;
        bool fitted;
    } cases[] = {{line, {400, 60}, 0, false}, {line, {400, 8}, 0, true}, {line, {60, 60}, 0, true},
                 {line, {text, 60}, 0, true}, {check, {text + markWidth, 60}, checkChrome, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size.cx) + "x" + std::to_string(c.size.cy) + (c.chrome ? " check box" : ""));
        RECT original;
        GetWindowRect(c.control, &original);
        SetWindowPos(c.control, nullptr, 0, 0, c.size.cx, c.size.cy, SWP_NOMOVE | SWP_NOZORDER);
        const long before = CountGdiObjects();
        DialogDpi layout;
        layout.Start(dialog, GetModuleHandleA(nullptr), IDD_UI_FIT);
        FittedFont fitted;
        fitted.FitTexts(dialog, layout);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(c.control, WM_GETFONT, 0, 0));
        const SIZE room = {c.size.cx - c.chrome, c.size.cy};
        EXPECT_EQ(c.fitted, font != dialogFont);
        EXPECT_EQ(before + (c.fitted ? 1 : 0), CountGdiObjects()) << "the sizes tried and refused are given back";
        EXPECT_TRUE(Fits(c.control, font, room));
        // The dialog's own face (a narrow read would lose a Chinese name),
        // and one size larger would not fit.
        LOGFONTW face = {};
        LOGFONTW dialogFace = {};
        GetObjectW(font, sizeof face, &face);
        GetObjectW(dialogFont, sizeof dialogFace, &dialogFace);
        EXPECT_EQ(0, lstrcmpW(dialogFace.lfFaceName, face.lfFaceName));
        face.lfHeight += face.lfHeight < 0 ? -1 : 1;
        HFONT larger = CreateFontIndirectW(&face);
        EXPECT_TRUE(!c.fitted || !Fits(c.control, larger, room));
        DeleteObject(larger);
        SetWindowPos(c.control, nullptr, 0, 0, original.right - original.left, original.bottom - original.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        for (HWND control : {line, check})
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    }
    DestroyWindow(dialog);
}

}  // namespace
