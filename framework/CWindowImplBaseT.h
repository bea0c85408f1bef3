#pragma once
#include "framework/CWindowImplRoot.h"
#include "framework/CWinTraits.h"

// The control side of the framework: a control created by a dialog
// template, subclassed after creation. Whatever its map declines goes on to
// the procedure the control had before.
template <class TBase, class TWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase>
{
public:
    EntryProcedureFn EntryProcedure() override { return &SubclassProcedure; }

    // Entered through the trampoline: `self` arrives in place of the window.
    static LRESULT CALLBACK SubclassProcedure(HWND self, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* object = static_cast<CWindowImplBaseT*>(reinterpret_cast<CWindowImplRoot<TBase>*>(self));
        HWND window = object->m_hWnd;
        MessageRecord record;
        MessageRecord* outer = object->BeginMessage(record, message, wParam, lParam);
        LRESULT result = 0;
        const BOOL handled = object->RouteMessage(window, message, wParam, lParam, result, 0);
        if (!handled) {
            if (message != WM_NCDESTROY) {
                result = CallWindowProcA(object->previousProcedure, window, message, wParam, lParam);
            } else {
                const LONG_PTR before = GetWindowLongPtrA(window, GWLP_WNDPROC);
                result = CallWindowProcA(object->previousProcedure, window, message, wParam, lParam);
                // Put the old procedure back only while nobody has
                // subclassed the control after us; otherwise we would cut
                // the later procedure out.
                const LONG_PTR ours = reinterpret_cast<LONG_PTR>(object->m_trampoline);
                if (object->previousProcedure != &DefWindowProcA && before == ours &&
                    GetWindowLongPtrA(window, GWLP_WNDPROC) == before)
                    SetWindowLongPtrA(window, GWLP_WNDPROC,
                                      reinterpret_cast<LONG_PTR>(object->previousProcedure));
            }
        }
        if (message == WM_NCDESTROY)
            object->m_state |= CWindowImplRoot<TBase>::windowGone;
        if ((object->m_state & CWindowImplRoot<TBase>::windowGone) && outer == nullptr)
            object->Unbind();
        else
            object->m_currentMessage = outer;
        return result;
    }

    WNDPROC PreviousProcedure() const { return previousProcedure; }

protected:
    // The procedure the control had before; whatever the map declines goes there.
    WNDPROC previousProcedure = &DefWindowProcA;
};
