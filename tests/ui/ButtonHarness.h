#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Canvas.h"
#include "ui/CBmpBtn.h"

// The bitmap button as the tests use it: its style and looks can be set
// directly, to draw each look without driving the input that leads there.
class TestButton : public CBmpBtn
{
public:
    explicit TestButton(const AutoRepeatApi& autoRepeat = kSystemAutoRepeatApi)
        : CBmpBtn(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE, nullptr, autoRepeat)
    {
    }

    void SetExtendedStyle(DWORD style) { extendedStyle = style; }
    void SetPressed(bool value) { pressed = value; }
    void SetHasFocus(bool value) { hasFocus = value; }
    void SetMouseOver(bool value) { mouseOver = value; }
};

// What the windows around a bitmap button saw, in the order they saw it:
// "std" is the button's earlier procedure (the standard button, recorded),
// "tip" its tooltip, "parent" the test dialog.
struct Event
{
    std::string source;
    UINT message;
    WPARAM wParam;
    std::string detail;
};

std::vector<Event>& Events();
void ClearEvents();
// Events that `keep` accepts, one line each, for comparing sequences.
std::vector<std::string> Lines(const std::function<bool(const Event&)>& keep);
std::string Line(const std::string& source, UINT message, const std::string& detail = "");

// A modeless test dialog (IDD_UI_BUTTONS), shown and active; its
// WM_COMMANDs become "parent" events. Destroyed with the object.
class ButtonDialog
{
public:
    ButtonDialog();
    ~ButtonDialog();
    ButtonDialog(const ButtonDialog&) = delete;
    ButtonDialog& operator=(const ButtonDialog&) = delete;

    HWND Window() const { return m_window; }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    // A fresh default push-button with this id where the template puts the
    // first one, replacing any control with that id.
    HWND Renew(int id);

    struct Command
    {
        WORD id;
        WORD code;
        HWND control;
    };
    static std::vector<Command>& Commands();

private:
    HWND m_window;
};

// Puts a recording procedure in front of the control's own, so that after
// AttachToControl it is the button's earlier procedure: every message it
// gets becomes a "std" event on the way in and a "std ... returned" event on
// the way out.
void RecordStandardProcedure(HWND control);
WNDPROC RecordingProcedure();

// Records what the tooltip is told: TTM_ACTIVATE, TTM_ADDTOOLA and each
// relayed message with the button's state at that moment.
void RecordTooltip(HWND tooltip, const CBmpBtn* button);

// Four 40 × 24 pictures; picture i is kTop[i] where x < 20 and y < 12 and
// kRest[i] elsewhere, so both the chosen picture and a shift by one pixel
// show in the pixels.
constexpr int kImageWidth = 40;
constexpr int kImageHeight = 24;
extern const COLORREF kTop[4];
extern const COLORREF kRest[4];
HIMAGELIST MakeTestStrip();

// Renders the button with WM_PRINTCLIENT into a canvas of its client size.
struct Rendering
{
    int picture;       // the picture at (0, 0), or -1
    int shiftedPicture; // the picture drawn one pixel right and down, or -1
};
Rendering WhichPicture(const Canvas& canvas);
void Render(HWND button, Canvas& canvas);

// The button as DrawButton should leave it, drawn independently: face,
// picture `index` at (offset, offset), `edge` (0 for none) and optionally
// the focus rectangle.
void DrawReference(Canvas& canvas, HIMAGELIST strip, int index, int offset, UINT edge, bool focus);

LPARAM ClientPoint(int x, int y);
