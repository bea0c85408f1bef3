#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The tests' one way to do something while a modal dialog is up, from
// inside the dialog's own message loop.

// What happened while a modal dialog ran under DriveModal.
struct ModalRun
{
    INT_PTR result = 0;
    HWND window = nullptr;       // the first dialog this thread activated
    int dialogsActivated = 0;    // distinct dialog windows activated
    bool acted = false;          // the action ran
    bool stuck = false;          // still open after the budget: ended with kStuck
};

// The end code forced on a dialog that outlives its budget.
constexpr INT_PTR kStuck = 0x5757;

// Runs `run`, which opens a modal dialog on this thread. A CBT hook spots
// the dialog when it is activated; a thread timer then calls `act` with its
// window, once, from inside the dialog's own message loop, as soon as the
// window is visible. A dialog still open after `budgetMs` is ended.
ModalRun DriveModal(const std::function<INT_PTR()>& run, const std::function<void(HWND)>& act,
                    DWORD budgetMs = 2000);

// From now until the dialog is gone, records what reaches its window
// procedure that can end it: WM_SYSCOMMAND SC_CLOSE, WM_CLOSE and
// WM_COMMAND with its id, one line each, in order.
void RecordClosingMessages(HWND dialog, std::vector<std::string>& into);

// Posts a key press (WM_KEYDOWN) to a window, as the keyboard would.
void PostKey(HWND window, UINT key);

// Visible child windows of a dialog of the given class ("Button",
// "Static"), in Z order, which is template order.
std::vector<HWND> ChildrenOfClass(HWND dialog, const char* className);

// A window's text, code page 936.
std::string TextOf(HWND window);

// Where the dialog must stand when centred on `target` inside `area`.
POINT CentredPosition(const RECT& window, const RECT& target, const RECT& area);
RECT WorkArea();
