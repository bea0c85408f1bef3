#pragma once
#include <windows.h>

#include "framework/DialogDpi.h"

// The font of a dialog's texts, made smaller where its glyphs outgrow the
// dialog units. Dialog units come from the font's Latin letters, so a font
// whose Chinese glyphs are wide for its Latin ones (the Kai face at 125 % or
// 150 %) can need more room than the template gives its texts.
class FittedFont
{
public:
    FittedFont() = default;
    ~FittedFont() { DeleteObject(m_font); }
    FittedFont(const FittedFont&) = delete;
    FittedFont& operator=(const FittedFont&) = delete;

    // Gives every text of `dialog`, in static controls and buttons (not the
    // owner-drawn ones, which draw pictures), the largest size of the
    // dialog's font at its DPI (`layout`), at most that font's own, in which
    // each text fits its control's height and the width the control leaves
    // it. A text whose control starts left of client x `right` must also end
    // there. Where the dialog's font fits, the texts keep it.
    void FitTexts(HWND dialog, const DialogDpi& layout, int right = kNoLimit);

    static constexpr int kNoLimit = 0x7FFFFFFF;

private:
    HFONT m_font = nullptr;
};
