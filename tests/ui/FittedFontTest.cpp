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

// Does the window's text in `font` fit `room`, its last column left clear?
bool Fits(HWND window, HFONT font, SIZE room)
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
    return metrics.tmHeight <= room.cy && extent.cx <= room.cx - 1;
}

TEST(FittedFont, ALineGetsTheLargestSizeThatFitsItsControl)
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UI_FIT), nullptr,
                                     &PlainProcedure, 0);
    ASSERT_NE(nullptr, dialog);
    HWND line = GetDlgItem(dialog, IDC_UI_FIT_LINE);
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    // The fit measures in a window DC: Wine makes its cache entry once.
    ReleaseDC(dialog, GetDC(dialog));
    const struct
    {
        SIZE control;
        bool fitted;
    } cases[] = {{{400, 60}, false}, {{400, 8}, true}, {{60, 60}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.control.cx) + "x" + std::to_string(c.control.cy));
        SetWindowPos(line, nullptr, 0, 0, c.control.cx, c.control.cy, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        const long before = CountGdiObjects();
        FittedFont fitted;
        fitted.FitTexts(dialog);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(line, WM_GETFONT, 0, 0));
        EXPECT_EQ(c.fitted, font != dialogFont);
        EXPECT_EQ(before + (c.fitted ? 1 : 0), CountGdiObjects()) << "the sizes tried and refused are given back";
        EXPECT_TRUE(Fits(line, font, c.control));
        // One size larger would not fit.
        LOGFONTA face = {};
        GetObjectA(font, sizeof face, &face);
        face.lfHeight += face.lfHeight < 0 ? -1 : 1;
        HFONT larger = CreateFontIndirectA(&face);
        EXPECT_TRUE(!c.fitted || !Fits(line, larger, c.control));
        DeleteObject(larger);
        SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    }
    DestroyWindow(dialog);
}

}  // namespace
