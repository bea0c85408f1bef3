#pragma once
// Instruments of the framework tests: dialogs and controls whose maps are
// the test's own functions and which write down what they were offered, and
// hooks that watch window creation.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "framework/CDialogImpl.h"
#include "framework/CWinTraits.h"
#include "framework/CWindowImpl.h"
#include "framework/StubPool.h"
#include "support/MessageNames.h"

// Test-private messages, above everything the dialog manager sends.
constexpr UINT WM_TEST_RUN = WM_APP + 1;    // the test's body, once the dialog is up
constexpr UINT WM_TEST_PROBE = WM_APP + 2;  // free for each test
constexpr UINT WM_TEST_OTHER = WM_APP + 3;
constexpr UINT WM_TEST_NOBODY = WM_APP + 4;

using MapHandler = std::function<BOOL(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

// A dialog whose map is the test's `handler`. With a `body`, the dialog
// posts itself WM_TEST_RUN from WM_INITDIALOG (answered TRUE), runs the body
// there and ends with `endCode`; it is never shown, since the run ends
// before the modal loop first goes idle.
template <int t_idd>
class ProbeDialog : public CDialogImpl<ProbeDialog<t_idd>>
{
public:
    enum { IDD = t_idd };

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        offered.push_back(MessageName(message) + (mapId == 0 ? "" : " map" + std::to_string(mapId)));
        windows.push_back(window);
        if (window != this->m_hWnd)
            strangers.push_back(window);
        if (mapId != 0)
            return FALSE;
        if (handler && handler(message, wParam, lParam, result))
            return TRUE;
        if (body && message == WM_INITDIALOG) {
            PostMessageA(window, WM_TEST_RUN, 0, 0);
            result = TRUE;
            return TRUE;
        }
        if (body && message == WM_TEST_RUN) {
            body(window);
            EndDialog(window, endCode);
            result = 0;
            return TRUE;
        }
        return FALSE;
    }

    void AfterLastMessage(HWND old) override
    {
        lastMessages.push_back(old);
        if (afterLast)
            afterLast(old);
    }

    // Whether the map was offered `message` at all.
    bool Saw(UINT message) const
    {
        const std::string name = MessageName(message);
        for (const auto& line : offered)
            if (line == name)
                return true;
        return false;
    }

    MapHandler handler;
    std::function<void(HWND)> body;
    std::function<void(HWND)> afterLast;
    INT_PTR endCode = 1;

    std::vector<std::string> offered;
    std::vector<HWND> windows;
    std::vector<HWND> strangers;  // windows passed to the map that were not m_hWnd
    std::vector<HWND> lastMessages;
};

// A control class whose map is the test's `handler`; everything it declines
// goes to the procedure the control had before.
class ProbeControl : public CWindowImpl<ProbeControl, CWindow, CWinTraits<0x56000000>>
{
public:
    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;
    void AfterLastMessage(HWND old) override;

    // The log shared with the recording procedures, so that one sequence
    // shows who saw what in which order: the test's own messages and the
    // two of destruction.
    std::vector<std::string>* log = nullptr;
    MapHandler handler;
    std::function<void(HWND)> afterLast;
    std::vector<HWND> lastMessages;
};

// Windows of a registered class whose procedure appends "prev <message>"
// to the log given as creation parameter (lParam of CreateWindowEx) and
// answers 0x7000 + the low byte of the message for the test's messages.
HWND CreateRecorderControl(HWND parent, std::vector<std::string>* log);
LRESULT CALLBACK RecorderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
constexpr LRESULT RecorderAnswer(UINT message) { return 0x7000 + (message & 0xFF); }

// A control whose class procedure is DefWindowProcA itself.
HWND CreatePlainControl(HWND parent);

// A hidden top-level window to hold test controls.
HWND CreateHolderWindow(DWORD style = WS_OVERLAPPEDWINDOW, HWND owner = nullptr);
// A plain window of the given style and place; `parent` is the owner of a
// top-level window and the parent of a child.
HWND CreateTestWindow(DWORD style, HWND parent, int x, int y, int width, int height);

// Watches window creation and activation on the calling thread while alive.
class CbtWatch
{
public:
    explicit CbtWatch(std::function<void(HWND)> onActivate = {});
    ~CbtWatch();
    CbtWatch(const CbtWatch&) = delete;
    CbtWatch& operator=(const CbtWatch&) = delete;

    std::vector<HWND> created;
    std::vector<HWND> activated;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook;
    std::function<void(HWND)> m_onActivate;
    CbtWatch* m_outer;
};
