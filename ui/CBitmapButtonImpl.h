#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CButtonT.h"
#include "framework/CWinTraits.h"
#include "framework/CWindowImpl.h"
#include "framework/ModuleRecord.h"
#include "ui/AutoRepeatApi.h"

// Extended style bits of the bitmap button.
constexpr DWORD BUTTON_HOVER_MODE = 0x01;    // picture follows the mouse; the class clicks itself
constexpr DWORD BUTTON_EDGE_SINGLE = 0x02;   // thin 3-D edge
constexpr DWORD BUTTON_EDGE_DOUBLE = 0x04;   // thick 3-D edge; the thin one wins when both are set
constexpr DWORD BUTTON_FIT_TO_IMAGE = 0x08;  // client area sized to one picture
constexpr DWORD BUTTON_SHARED_STRIP = 0x10;  // the image list is not ours to destroy
constexpr DWORD BUTTON_AUTO_REPEAT = 0x20;   // holding the left button repeats the click

// Every mouse message, WM_MOUSEMOVE to WM_MOUSEHWHEEL (which XP's headers
// do not name), also feeds the tooltip.
constexpr UINT kFirstMouseMessage = WM_MOUSEMOVE;
constexpr UINT kLastMouseMessage = 0x020E;

// The keyboard's repeat settings, which an auto-repeat button follows: a
// delay of 0 to 3 (250 ms to 1 s) before the first repeat, and a speed of
// 0 to 31 (about 2.5 to 30 repeats a second). 250 ms where they cannot be read.
constexpr UINT RepeatDelayMs(UINT delaySetting) { return (delaySetting + 1) * 250; }
constexpr UINT RepeatIntervalMs(UINT speedSetting) { return 10000 / (speedSetting * 10 + 25); }
constexpr UINT kUnknownRepeatMs = 250;

// A push-button from a dialog template, taken over and drawn entirely from
// an image strip: normal, pushed, focus-or-hover and disabled pictures, an
// optional edge, a focus rectangle and a tooltip. Whatever its map declines
// goes to the standard button procedure, which still does the clicking.
// Hover mode and auto-repeat are kept because the program's interface
// requires them; nothing here turns them on.
template <class T, class TBase = CButton, class TWinTraits = CWinTraits<0x56000000>>
class CBitmapButtonImpl : public CWindowImpl<T, TBase, TWinTraits>
{
public:
    enum : UINT_PTR { TIMER_REPEAT_DELAY = 1000, TIMER_REPEAT = 1001 };
    enum ImageIndex { kNormal, kPushed, kFocusOrHover, kDisabled };

    explicit CBitmapButtonImpl(DWORD style = BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE, HIMAGELIST strip = nullptr,
                               const AutoRepeatApi& autoRepeat = kSystemAutoRepeatApi)
        : extendedStyle(style), imageStrip(strip), m_autoRepeat(autoRepeat)
    {
    }

    ~CBitmapButtonImpl() override
    {
        if (imageStrip != nullptr && !(extendedStyle & BUTTON_SHARED_STRIP) && ImageList_Destroy(imageStrip))
            imageStrip = nullptr;
        HeapFree(GetProcessHeap(), 0, tooltipText);
    }

    // Subclasses the control, then makes it owner-drawn with a tooltip.
    BOOL AttachToControl(HWND window)
    {
        if (!CWindowImpl<T, TBase, TWinTraits>::AttachToControl(window))
            return FALSE;
        Prepare();
        return TRUE;
    }

    void Prepare()
    {
        HWND window = this->m_hWnd;
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        if ((style | BS_OWNERDRAW) != style)
            SetWindowLongPtrA(window, GWL_STYLE, style | BS_OWNERDRAW);
        tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, window, nullptr, g_moduleRecord.ModuleInstance(), nullptr);
        if (IsWindow(tooltip) && tooltipText != nullptr) {
            SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
            AddTool();
        }
        if (imageStrip != nullptr && (extendedStyle & BUTTON_FIT_TO_IMAGE))
            FitToImage();
    }

    // Copies the text; null removes the tooltip's text and switches it off.
    bool AssignTooltipText(const char* text)
    {
        HeapFree(GetProcessHeap(), 0, tooltipText);
        tooltipText = nullptr;
        if (text == nullptr) {
            if (IsWindow(tooltip))
                SendMessageA(tooltip, TTM_ACTIVATE, FALSE, 0);
            return true;
        }
        const int size = lstrlenA(text) + 1;
        tooltipText = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size)));
        if (tooltipText == nullptr)
            return false;
        CopyMemory(tooltipText, text, static_cast<SIZE_T>(size));
        if (IsWindow(tooltip)) {
            SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
            AddTool();
        }
        return true;
    }

    // An earlier strip is not destroyed here.
    void AssignImageStrip(HIMAGELIST strip)
    {
        imageStrip = strip;
        if ((extendedStyle & BUTTON_FIT_TO_IMAGE) && IsWindow(this->m_hWnd))
            FitToImage();
    }

    void AssignImageIndices(int normal, int pushed = -1, int focusOrHover = -1, int disabled = -1)
    {
        imageIndex[kNormal] = normal;
        imageIndex[kPushed] = pushed;
        imageIndex[kFocusOrHover] = focusOrHover;
        imageIndex[kDisabled] = disabled;
    }

    void FitToImage()
    {
        int width = 0;
        int height = 0;
        if (ImageList_GetIconSize(imageStrip, &width, &height))
            ResizeClientArea(width, height, TRUE);
    }

    BOOL ResizeClientArea(int width, int height, BOOL redraw)
    {
        HWND window = this->m_hWnd;
        RECT rect;
        if (!GetClientRect(window, &rect))
            return FALSE;
        if (width != -1)
            rect.right = width;
        if (height != -1)
            rect.bottom = height;
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
        const BOOL menu = !(style & WS_CHILD) && GetMenu(window) != nullptr;
        if (!AdjustWindowRectEx(&rect, style, menu, exStyle))
            return FALSE;
        UINT flags = SWP_NOMOVE | SWP_NOZORDER;
        if (!redraw)
            flags |= SWP_NOREDRAW;
        return SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top, flags);
    }

    void DrawButton(HDC dc)
    {
        HWND window = this->m_hWnd;
        const bool hover = (extendedStyle & BUTTON_HOVER_MODE) != 0;
        int index;
        if (!IsWindowEnabled(window))
            index = imageIndex[kDisabled];
        else if (pressed)
            index = imageIndex[kPushed];
        else if (hover ? mouseOver : hasFocus)
            index = imageIndex[kFocusOrHover];
        else
            index = imageIndex[kNormal];
        if (index == -1)
            index = imageIndex[kNormal];

        const bool edge = (extendedStyle & (BUTTON_EDGE_SINGLE | BUTTON_EDGE_DOUBLE)) != 0;
        const int offset = pressed && edge && imageIndex[kPushed] == -1 ? 1 : 0;
        ImageList_Draw(imageStrip, index, dc, offset, offset, ILD_NORMAL);
        if (!edge)
            return;

        const bool thin = (extendedStyle & BUTTON_EDGE_SINGLE) != 0;
        RECT rect;
        GetClientRect(window, &rect);
        if (pressed)
            DrawEdge(dc, &rect, thin ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
        else if (!hover || mouseOver)
            DrawEdge(dc, &rect, thin ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
        if (!hover && hasFocus) {
            InflateRect(&rect, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
            DrawFocusRect(dc, &rect);
        }
    }

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        // Entries that decline run their handler and let the message go on
        // down the map and then to the standard procedure.
        switch (message) {
        case WM_CREATE:
            Prepare();
            return FALSE;
        case WM_DESTROY:
            if (IsWindow(tooltip)) {
                DestroyWindow(tooltip);
                tooltip = nullptr;
            }
            return FALSE;
        default:
            break;
        }
        if (message >= kFirstMouseMessage && message <= kLastMouseMessage)
            RelayToTooltip(window, message, wParam, lParam);

        const bool hover = (extendedStyle & BUTTON_HOVER_MODE) != 0;
        switch (message) {
        case WM_ERASEBKGND:    return this->Answer(result, 1);
        case WM_PAINT:
        case WM_PRINTCLIENT:   return this->Answer(result, OnPaint(reinterpret_cast<HDC>(wParam)));
        case WM_LBUTTONDOWN:   return this->Answer(result, OnLButtonDown(message, wParam, lParam));
        case WM_LBUTTONDBLCLK: return this->Answer(result, OnLButtonDblClk(message, wParam, lParam));
        case WM_LBUTTONUP:     return this->Answer(result, OnLButtonUp(message, wParam, lParam));
        case WM_TIMER:         return this->Answer(result, OnTimer(wParam));
        // The standard button would redraw itself over our picture.
        case WM_UPDATEUISTATE: return this->Answer(result, 0);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            hasFocus = message == WM_SETFOCUS;
            Repaint();
            return FALSE;
        case WM_CAPTURECHANGED:
            if (pressed) {
                pressed = false;
                Repaint();
            }
            return FALSE;
        case WM_ENABLE:
            Repaint();
            return FALSE;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return FALSE;
        case WM_MOUSELEAVE:
            if (mouseOver) {
                mouseOver = false;
                Repaint();
            }
            return this->Answer(result, 0);
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam != VK_SPACE)
                return FALSE;
            if (hover)
                return this->Answer(result, 0);
            if (pressed != (message == WM_KEYDOWN)) {
                pressed = message == WM_KEYDOWN;
                Repaint();
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

    DWORD ExtendedStyle() const { return extendedStyle; }
    HIMAGELIST ImageStrip() const { return imageStrip; }
    int ImageIndexOf(ImageIndex look) const { return imageIndex[look]; }
    HWND Tooltip() const { return tooltip; }
    const char* TooltipText() const { return tooltipText; }
    bool MouseOver() const { return mouseOver; }
    bool HasFocus() const { return hasFocus; }
    bool Pressed() const { return pressed; }

protected:
    DWORD extendedStyle;
    HIMAGELIST imageStrip;
    int imageIndex[4] = {-1, -1, -1, -1};
    HWND tooltip = nullptr;
    char* tooltipText = nullptr;
    bool mouseOver = false;
    bool hasFocus = false;
    bool pressed = false;

private:
    void AddTool()
    {
        TOOLINFOA info = {};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND;
        info.hwnd = GetParent(this->m_hWnd);
        info.uId = reinterpret_cast<UINT_PTR>(this->m_hWnd);
        info.hinst = g_moduleRecord.ModuleInstance();
        info.lpszText = tooltipText;
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }

    void RelayToTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (!IsWindow(tooltip))
            return;
        MSG relayed = {window, message, wParam, lParam, 0, {0, 0}};
        SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }

    void Repaint()
    {
        InvalidateRect(this->m_hWnd, nullptr, TRUE);
        UpdateWindow(this->m_hWnd);
    }

    LRESULT OnPaint(HDC given)
    {
        HWND window = this->m_hWnd;
        PAINTSTRUCT paint;
        HDC dc = given != nullptr ? given : BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
        DrawButton(dc);
        if (given == nullptr)
            EndPaint(window, &paint);
        return 0;
    }

    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return CallWindowProcA(this->previousProcedure, this->m_hWnd, message, wParam, lParam);
    }

    LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
    {
        HWND window = this->m_hWnd;
        LRESULT result = 0;
        if (extendedStyle & BUTTON_HOVER_MODE)
            SetCapture(window);
        else
            result = CallPrevious(message, wParam, lParam);
        if (GetCapture() == window) {
            pressed = true;
            Repaint();
        }
        if (extendedStyle & BUTTON_AUTO_REPEAT) {
            UINT delay = 0;
            const bool known = m_autoRepeat.systemParametersInfo(SPI_GETKEYBOARDDELAY, 0, &delay, 0) != FALSE;
            m_autoRepeat.setTimer(window, TIMER_REPEAT_DELAY, known ? RepeatDelayMs(delay) : kUnknownRepeatMs, nullptr);
        }
        return result;
    }

    LRESULT OnLButtonDblClk(UINT message, WPARAM wParam, LPARAM lParam)
    {
        HWND window = this->m_hWnd;
        const LRESULT result = (extendedStyle & BUTTON_HOVER_MODE) ? 0 : CallPrevious(message, wParam, lParam);
        if (GetCapture() != window)
            SetCapture(window);
        if (!pressed) {
            pressed = true;
            Repaint();
        }
        return result;
    }

    LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
    {
        HWND window = this->m_hWnd;
        const bool hover = (extendedStyle & BUTTON_HOVER_MODE) != 0;
        const LRESULT result = hover ? 0 : CallPrevious(message, wParam, lParam);
        if (GetCapture() == window) {
            if (hover && pressed)
                SendClick();
            // Losing the capture brings WM_CAPTURECHANGED, which releases the picture.
            ReleaseCapture();
        }
        return result;
    }

    void OnMouseMove(LPARAM lParam)
    {
        HWND window = this->m_hWnd;
        if (GetCapture() == window) {
            POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(window, &point);
            RECT rect;
            GetWindowRect(window, &rect);
            const bool inside = PtInRect(&rect, point) != FALSE;
            if (inside != pressed) {
                pressed = inside;
                Repaint();
            }
        } else if ((extendedStyle & BUTTON_HOVER_MODE) && !mouseOver) {
            mouseOver = true;
            Repaint();
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
            _TrackMouseEvent(&track);
        }
    }

    LRESULT OnTimer(WPARAM id)
    {
        HWND window = this->m_hWnd;
        if (id == TIMER_REPEAT_DELAY) {
            KillTimer(window, TIMER_REPEAT_DELAY);
            if (pressed) {
                SendClick();
                UINT speed = 0;
                const bool known = m_autoRepeat.systemParametersInfo(SPI_GETKEYBOARDSPEED, 0, &speed, 0) != FALSE;
                m_autoRepeat.setTimer(window, TIMER_REPEAT, known ? RepeatIntervalMs(speed) : kUnknownRepeatMs,
                                      nullptr);
            }
        } else if (id == TIMER_REPEAT) {
            if (pressed)
                SendClick();
            else if (GetCapture() != window)
                KillTimer(window, TIMER_REPEAT);
        }
        return 0;
    }

    void SendClick()
    {
        HWND window = this->m_hWnd;
        const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), BN_CLICKED);
        SendMessageA(GetParent(window), WM_COMMAND, command, reinterpret_cast<LPARAM>(window));
    }

    const AutoRepeatApi& m_autoRepeat;
};
