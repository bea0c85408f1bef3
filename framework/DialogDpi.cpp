#include "framework/DialogDpi.h"

namespace {

// As the dialog manager measures a template's font: the average width of
// the Latin letters, and the height of a line.
bool MeasureUnits(HFONT font, int& x, int& y)
{
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    HDC screen = GetDC(nullptr);
    HGDIOBJ replaced = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    SIZE letters = {};
    const bool measured =
        GetTextMetricsW(screen, &metrics) && GetTextExtentPoint32W(screen, kLetters, 52, &letters);
    SelectObject(screen, replaced);
    ReleaseDC(nullptr, screen);
    x = (letters.cx / 26 + 1) / 2;
    y = metrics.tmHeight;
    return measured && x > 0 && y > 0;
}

RECT ScreenClientRect(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

}  // namespace

void DialogDpi::Start(HWND dialog, HINSTANCE module, UINT templateId)
{
    // A font of an earlier run: its controls are gone.
    DeleteObject(m_font);
    m_font = nullptr;
    m_startFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    m_startDpi = m_dpi = m_api.dpiForWindow(dialog);
    m_hasTemplate = m_startFont != nullptr && m_template.Read(module, templateId);
    // Windows 10 1703 and later would rescale the dialog once more, after us.
    if (m_api.setDialogDpiChangeBehavior != nullptr)
        m_api.setDialogDpiChangeBehavior(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
    if (m_api.setDialogControlDpiChangeBehavior != nullptr)
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            m_api.setDialogControlDpiChangeBehavior(child, kControlDpiChangeDisableAll, kControlDpiChangeDisableAll);
}

bool DialogDpi::LayoutAt(UINT dpi, Layout& layout) const
{
    layout.font = nullptr;
    if (!m_hasTemplate || dpi == 0)
        return false;
    if (dpi != m_startDpi) {
        LOGFONTW face = {};
        if (GetObjectW(m_startFont, sizeof face, &face) == 0)
            return false;
        face.lfHeight = -MulDiv(m_template.PointSize(), static_cast<int>(dpi), 72);
        face.lfWidth = 0;
        layout.font = CreateFontIndirectW(&face);
        if (layout.font == nullptr)
            return false;
    }
    if (MeasureUnits(layout.font != nullptr ? layout.font : m_startFont, layout.units.x, layout.units.y))
        return true;
    DeleteObject(layout.font);
    layout.font = nullptr;
    return false;
}

SIZE DialogDpi::ClientSize(Units units) const
{
    return {MulDiv(m_template.Size().cx, units.x, 4), MulDiv(m_template.Size().cy, units.y, 8)};
}

// What the system draws around the client area at `dpi`: per-monitor v2
// frames follow the window's DPI; any other keeps the one it has.
RECT DialogDpi::Frame(HWND dialog, UINT dpi) const
{
    RECT frame = {0, 0, 0, 0};
    if (m_api.framesFollowDpi(dialog)) {
        m_api.adjustForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)), dpi);
        return frame;
    }
    RECT window;
    GetWindowRect(dialog, &window);
    const RECT client = ScreenClientRect(dialog);
    return {window.left - client.left, window.top - client.top, window.right - client.right,
            window.bottom - client.bottom};
}

bool DialogDpi::WindowSize(HWND dialog, UINT dpi, SIZE& size) const
{
    Layout layout;
    if (!LayoutAt(dpi, layout))
        return false;
    DeleteObject(layout.font);
    const SIZE client = ClientSize(layout.units);
    const RECT frame = Frame(dialog, dpi);
    size = {client.cx + frame.right - frame.left, client.cy + frame.bottom - frame.top};
    return true;
}

void DialogDpi::Change(HWND dialog, UINT dpi, const RECT& suggested)
{
    Layout layout;
    if (!LayoutAt(dpi, layout)) {
        // Without a layout of its own the dialog goes where the system says.
        SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
        return;
    }
    const HFONT font = layout.font != nullptr ? layout.font : m_startFont;
    const Units units = layout.units;
    // The dialog manager made the controls in template order, which is the
    // order of its children.
    int item = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr && item < m_template.ItemCount();
         child = GetWindow(child, GW_HWNDNEXT), ++item) {
        const RECT& in = m_template.Item(item);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(child, nullptr, MulDiv(in.left, units.x, 4), MulDiv(in.top, units.y, 8),
                     MulDiv(in.right - in.left, units.x, 4), MulDiv(in.bottom - in.top, units.y, 8),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    const SIZE client = ClientSize(units);
    const RECT frame = Frame(dialog, dpi);
    // Erased once, as the caller repaints, not now and again then.
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, client.cx + frame.right - frame.left,
                 client.cy + frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    // A frame other than foreseen shows only once the window has its new
    // size: the client area is what the layout needs.
    RECT now;
    GetClientRect(dialog, &now);
    if (now.right != client.cx || now.bottom != client.cy) {
        RECT window;
        GetWindowRect(dialog, &window);
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + client.cx - now.right,
                     window.bottom - window.top + client.cy - now.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    }
    DeleteObject(m_font);
    m_font = layout.font;
    m_dpi = dpi;
}
