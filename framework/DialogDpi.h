#pragma once
#include <windows.h>

#include "framework/DialogTemplate.h"
#include "framework/DpiApi.h"

// A dialog's layout at the DPI of the screen it is on. The dialog manager
// lays a dialog out once, for the DPI it is made at; moved to a screen of
// another scaling, or given a new scaling, the dialog takes the layout it
// would have been given there: its template's font at that DPI, and its
// client area and controls measured in that font's dialog units, as the
// dialog manager measures them. Back at the first DPI it has the dialog
// manager's own font and layout again.
class DialogDpi
{
public:
    explicit DialogDpi(const DpiApi& api = kSystemDpiApi) : m_api(api) {}
    ~DialogDpi() { DeleteObject(m_font); }
    DialogDpi(const DialogDpi&) = delete;
    DialogDpi& operator=(const DialogDpi&) = delete;

    // At WM_INITDIALOG: the dialog starts at its window's DPI, and the
    // dialog manager's own rescaling is switched off where Windows has it.
    void Start(HWND dialog, HINSTANCE module, UINT templateId);
    // The window's size at `dpi` (WM_GETDPISCALEDSIZE); false when the
    // dialog has no layout of its own.
    bool WindowSize(HWND dialog, UINT dpi, SIZE& size) const;
    // Lays the dialog out for `dpi`, its top-left corner where `suggested`
    // puts it (WM_DPICHANGED). Repainting is the caller's.
    void Change(HWND dialog, UINT dpi, const RECT& suggested);

    UINT Dpi() const { return m_dpi; }
    // The template's font at Dpi().
    HFONT Font() const { return m_font != nullptr ? m_font : m_startFont; }
    const DpiApi& Api() const { return m_api; }

private:
    struct Units
    {
        int x;
        int y;
    };
    struct Layout
    {
        HFONT font;  // ours, or null for the dialog manager's
        Units units;
    };
    // False when the dialog has no layout of its own at `dpi`.
    bool LayoutAt(UINT dpi, Layout& layout) const;
    SIZE ClientSize(Units units) const;
    RECT Frame(HWND dialog, UINT dpi) const;

    const DpiApi& m_api;
    DialogTemplate m_template;
    bool m_hasTemplate = false;
    UINT m_startDpi = kDefaultDpi;
    UINT m_dpi = kDefaultDpi;
    HFONT m_startFont = nullptr;  // the dialog manager's, which it deletes
    HFONT m_font = nullptr;       // ours, at any other DPI
};
