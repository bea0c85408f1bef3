#include "ButtonHarness.h"

#include <cstdio>
#include <map>

#include "support/MessageNames.h"
#include "UiTestDialogs.h"
#include "support/Pump.h"

namespace {

void Record(const std::string& source, UINT message, WPARAM wParam, const std::string& detail = "")
{
    Events().push_back({source, message, wParam, detail});
}

INT_PTR CALLBACK TestDialogProcedure(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND) {
        char detail[48];
        std::snprintf(detail, sizeof detail, "id %u code %u", LOWORD(wParam), HIWORD(wParam));
        Record("parent", message, wParam, detail);
        ButtonDialog::Commands().push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    }
    return FALSE;
}

std::map<HWND, WNDPROC>& StandardProcedures()
{
    static std::map<HWND, WNDPROC> procedures;
    return procedures;
}

LRESULT CALLBACK RecordingButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC standard = StandardProcedures()[window];
    Record("std", message, wParam);
    const LRESULT result = CallWindowProcA(standard, window, message, wParam, lParam);
    Record("std", message, wParam, "returned");
    if (message == WM_NCDESTROY)
        StandardProcedures().erase(window);
    return result;
}

struct TooltipRecord
{
    WNDPROC standard;
    const CBmpBtn* button;
};

std::map<HWND, TooltipRecord>& Tooltips()
{
    static std::map<HWND, TooltipRecord> tooltips;
    return tooltips;
}

LRESULT CALLBACK RecordingTooltipProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const TooltipRecord record = Tooltips()[window];
    switch (message) {
    case TTM_ACTIVATE:
        Record("tip", message, wParam, wParam ? "on" : "off");
        break;
    case TTM_ADDTOOLA:
        Record("tip", message, wParam);
        break;
    case TTM_RELAYEVENT: {
        const MSG* relayed = reinterpret_cast<const MSG*>(lParam);
        const HWND button = record.button->m_hWnd;
        std::string detail = MessageName(relayed->message);
        detail += relayed->hwnd == button ? " from button" : " from elsewhere";
        detail += record.button->Pressed() ? " pressed" : " released";
        detail += GetCapture() == button ? " captured" : " free";
        Record("tip", message, wParam, detail);
        break;
    }
    default:
        break;
    }
    const LRESULT result = CallWindowProcA(record.standard, window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        Tooltips().erase(window);
    return result;
}

void InitControlsOnce()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    done = true;
}

}  // namespace

const COLORREF kTop[4] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200), RGB(200, 200, 30)};
const COLORREF kRest[4] = {RGB(110, 10, 10), RGB(10, 110, 10), RGB(10, 10, 110), RGB(110, 110, 10)};

std::vector<Event>& Events()
{
    static std::vector<Event> events;
    return events;
}

void ClearEvents()
{
    Events().clear();
    ButtonDialog::Commands().clear();
}

std::string Line(const std::string& source, UINT message, const std::string& detail)
{
    std::string line = source + " " + MessageName(message);
    if (!detail.empty())
        line += " " + detail;
    return line;
}

std::vector<std::string> Lines(const std::function<bool(const Event&)>& keep)
{
    std::vector<std::string> lines;
    for (const Event& event : Events())
        if (keep(event))
            lines.push_back(Line(event.source, event.message, event.detail));
    return lines;
}

ButtonDialog::ButtonDialog()
{
    InitControlsOnce();
    m_window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UI_BUTTONS), nullptr,
                                 &TestDialogProcedure, 0);
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    PumpUntil([this] { return GetForegroundWindow() == m_window && GetActiveWindow() == m_window; }, 2000);
    PumpMessages(20);
}

ButtonDialog::~ButtonDialog()
{
    ReleaseCapture();
    DestroyWindow(m_window);
    PumpMessages(10);
}

HWND ButtonDialog::Renew(int id)
{
    if (HWND old = Item(id))
        DestroyWindow(old);
    RECT rect = {20, 20, 80, 40};
    MapDialogRect(m_window, &rect);
    return CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, m_window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

std::vector<ButtonDialog::Command>& ButtonDialog::Commands()
{
    static std::vector<Command> commands;
    return commands;
}

void RecordStandardProcedure(HWND control)
{
    const LONG_PTR standard =
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingButtonProcedure));
    StandardProcedures()[control] = reinterpret_cast<WNDPROC>(standard);
}

WNDPROC RecordingProcedure()
{
    return &RecordingButtonProcedure;
}

void RecordTooltip(HWND tooltip, const CBmpBtn* button)
{
    const LONG_PTR standard =
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingTooltipProcedure));
    Tooltips()[tooltip] = {reinterpret_cast<WNDPROC>(standard), button};
}

HIMAGELIST MakeTestStrip()
{
    Canvas pictures(kImageWidth * 4, kImageHeight);
    for (int image = 0; image < 4; ++image) {
        const RECT whole = {image * kImageWidth, 0, (image + 1) * kImageWidth, kImageHeight};
        const RECT top = {image * kImageWidth, 0, image * kImageWidth + 20, 12};
        HBRUSH rest = CreateSolidBrush(kRest[image]);
        HBRUSH corner = CreateSolidBrush(kTop[image]);
        FillRect(pictures.Dc(), &whole, rest);
        FillRect(pictures.Dc(), &top, corner);
        DeleteObject(rest);
        DeleteObject(corner);
    }
    HBITMAP bitmap = pictures.CopyBitmap();
    HIMAGELIST strip = ImageList_Create(kImageWidth, kImageHeight, ILC_COLOR24, 4, 0);
    ImageList_Add(strip, bitmap, nullptr);
    DeleteObject(bitmap);
    return strip;
}

namespace {

int PictureWithTop(COLORREF colour)
{
    for (int i = 0; i < 4; ++i)
        if (kTop[i] == colour)
            return i;
    return -1;
}

}  // namespace

Rendering WhichPicture(const Canvas& canvas)
{
    // (10, 6) lies in every picture's top part, (30, 18) in its rest; (20, 6)
    // and (10, 12) are just past the top part's edges, so they show the top
    // colour only when the picture is drawn one pixel right and down.
    Rendering rendering = {-1, -1};
    const int top = PictureWithTop(canvas.At(10, 6));
    if (top == -1 || canvas.At(30, 18) != kRest[top])
        return rendering;
    if (canvas.At(20, 6) == kRest[top] && canvas.At(10, 12) == kRest[top])
        rendering.picture = top;
    else if (canvas.At(20, 6) == kTop[top] && canvas.At(10, 12) == kTop[top] && canvas.At(19, 11) == kTop[top])
        rendering.shiftedPicture = top;
    return rendering;
}

void Render(HWND button, Canvas& canvas)
{
    canvas.Fill(RGB(0xFE, 0x01, 0xFD));
    SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
}

void DrawReference(Canvas& canvas, HIMAGELIST strip, int index, int offset, UINT edge, bool focus)
{
    RECT rect = {0, 0, canvas.Width(), canvas.Height()};
    FillRect(canvas.Dc(), &rect, GetSysColorBrush(COLOR_BTNFACE));
    ImageList_Draw(strip, index, canvas.Dc(), offset, offset, ILD_NORMAL);
    if (edge != 0)
        DrawEdge(canvas.Dc(), &rect, edge, BF_RECT);
    if (focus) {
        InflateRect(&rect, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
        DrawFocusRect(canvas.Dc(), &rect);
    }
}

LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}
