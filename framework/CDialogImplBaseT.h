#pragma once
#include "framework/CWindow.h"
#include "framework/CWindowImplRoot.h"

// The dialog side of the framework: binding on the first message and the
// shared dialog procedure that turns a map's answer into what the dialog
// manager expects.
template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase>
{
public:
    EntryProcedureFn EntryProcedure() override
    {
        return reinterpret_cast<EntryProcedureFn>(&SharedDialogProcedure);
    }

    // The dialog procedure every run starts with. It takes the calling
    // thread's newest registered object, binds it to the window and from
    // then on lets the platform call the object's trampoline directly.
    static INT_PTR CALLBACK FirstMessageProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam)
    {
        auto* self = static_cast<CDialogImplBaseT*>(g_creationRegistry.TakeForCurrentThread());
        if (self == nullptr || !self->EnsureTrampoline())
            return FALSE;
        self->m_hWnd = window;
        auto procedure = reinterpret_cast<DLGPROC>(self->m_trampoline);
        SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
        return procedure(window, message, wParam, lParam);
    }

    // Entered through the trampoline: `self` arrives in place of the window.
    static INT_PTR CALLBACK SharedDialogProcedure(HWND self, UINT message, WPARAM wParam,
                                                  LPARAM lParam)
    {
        auto* object = static_cast<CDialogImplBaseT*>(reinterpret_cast<CWindowImplRoot<TBase>*>(self));
        MessageRecord record;
        MessageRecord* outer = object->BeginMessage(record, message, wParam, lParam);
        LRESULT result = 0;
        const BOOL handled = object->RouteMessage(object->m_hWnd, message, wParam, lParam, result, 0);
        object->m_currentMessage = outer;

        INT_PTR answer = FALSE;
        if (handled) {
            if (ReturnsResultDirectly(message)) {
                answer = result;
            } else {
                SetWindowLongPtrA(object->m_hWnd, DWLP_MSGRESULT, result);
                answer = handled;
            }
        }
        if (message == WM_NCDESTROY)
            object->m_state |= CWindowImplRoot<TBase>::windowGone;
        if ((object->m_state & CWindowImplRoot<TBase>::windowGone) && object->m_currentMessage == nullptr)
            object->Unbind();
        return answer;
    }

    // The messages whose result the dialog manager takes from the dialog
    // procedure's return value instead of DWLP_MSGRESULT.
    static constexpr bool ReturnsResultDirectly(UINT message)
    {
        switch (message) {
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return true;
        default:
            return false;
        }
    }
};
