#pragma once
#include <windows.h>

// The font of a dialog's static texts, made smaller where its glyphs outgrow
// the dialog units. Dialog units come from the font's Latin letters, so a
// font whose Chinese glyphs are wide for its Latin ones (the Kai face at
// 125 % or 150 %) can need more room than the template gives its lines.
class FittedFont
{
public:
    FittedFont() = default;
    ~FittedFont() { DeleteObject(m_font); }
    FittedFont(const FittedFont&) = delete;
    FittedFont& operator=(const FittedFont&) = delete;

    // Gives every static control of `dialog` the largest size of the
    // dialog's font, at most its own, in which each control's text fits its
    // height and its width, the width ending at client x `right` at most.
    // Where the dialog's font fits already, nothing changes.
    void FitStatics(HWND dialog, int right);

private:
    HFONT m_font = nullptr;
};
