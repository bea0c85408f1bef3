#include "ui/FittedFont.h"

namespace {

// The column where a line must end stays clear: a text as wide as its
// static control wraps, and one that touches a box's edge looks cut.
constexpr int kMarginPx = 1;
constexpr int kMaxTexts = 16;
constexpr int kSmallestHeightPx = 6;

struct Text
{
    HWND control;
    wchar_t text[256];  // wide: GDI measures narrow text in the system's code page, not ours
    int width;   // pixels the text may take
    int height;  // the control's height
};

// What a button draws beside its text, across: a check box's or radio
// button's mark and the gap after it, a group box's frame before and after
// its caption, a push button's border and focus frame on both sides.
int ButtonChromeWidth(LONG_PTR style, const DialogDpi& layout)
{
    const auto metric = [&](int index) { return layout.Api().metricForDpi(index, layout.Dpi()); };
    const int edge = metric(SM_CXEDGE);
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return metric(SM_CXMENUCHECK) + 2 * edge;
    case BS_GROUPBOX:
        return 8 * edge;
    default:
        return 4 * edge;
    }
}

// The texts of static controls and of buttons that draw their text, each
// with the room it has.
int CollectTexts(HWND dialog, const DialogDpi& layout, int right, Text (&texts)[kMaxTexts])
{
    int count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr && count < kMaxTexts;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        const bool button = lstrcmpiA(className, "Button") == 0;
        if (!button && lstrcmpiA(className, "Static") != 0)
            continue;
        if (button && (style & BS_TYPEMASK) == BS_OWNERDRAW)
            continue;
        Text& text = texts[count];
        if (GetWindowTextW(child, text.text, 256) == 0)
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const LONG end = rect.left < right && right < rect.right ? right : rect.right;
        text.control = child;
        text.width = end - rect.left - kMarginPx - (button ? ButtonChromeWidth(style, layout) : 0);
        text.height = rect.bottom - rect.top;
        ++count;
    }
    return count;
}

bool AllFit(HDC dc, HFONT font, const Text* texts, int count)
{
    HGDIOBJ replaced = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    bool fit = true;
    for (int i = 0; i < count && fit; ++i) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, texts[i].text, lstrlenW(texts[i].text), &size);
        fit = size.cx <= texts[i].width && metrics.tmHeight <= texts[i].height;
    }
    SelectObject(dc, replaced);
    return fit;
}

}  // namespace

void FittedFont::FitTexts(HWND dialog, const DialogDpi& layout, int right)
{
    const HFONT dialogFont = layout.Font();
    // The face name goes wide too: 华文楷体 in code page 936 names no font
    // where the system's code page is another.
    LOGFONTW face = {};
    Text texts[kMaxTexts];
    const int count = CollectTexts(dialog, layout, right, texts);
    if (dialogFont == nullptr || count == 0 || GetObjectW(dialogFont, sizeof face, &face) == 0)
        return;
    HDC dc = GetDC(dialog);
    HFONT fitted = nullptr;
    if (!AllFit(dc, dialogFont, texts, count)) {
        // Negative heights name the glyphs' height, positive ones the cell's;
        // either shrinks by the same steps.
        const LONG sign = face.lfHeight < 0 ? -1 : 1;
        for (LONG height = face.lfHeight * sign - 1; height >= kSmallestHeightPx && fitted == nullptr; --height) {
            face.lfHeight = sign * height;
            face.lfWidth = 0;
            HFONT candidate = CreateFontIndirectW(&face);
            if (candidate != nullptr && AllFit(dc, candidate, texts, count))
                fitted = candidate;
            else
                DeleteObject(candidate);
        }
    }
    ReleaseDC(dialog, dc);
    // An earlier fitted font may still be on the texts (another DPI, where
    // the dialog's font did not fit): they take the new one before it goes.
    if (fitted != nullptr || m_font != nullptr)
        for (int i = 0; i < count; ++i)
            SendMessageA(texts[i].control, WM_SETFONT, reinterpret_cast<WPARAM>(fitted != nullptr ? fitted : dialogFont),
                         FALSE);
    DeleteObject(m_font);
    m_font = fitted;
}
