#pragma once
#include "framework/CWindowImplBaseT.h"

// A window class T that takes over an existing control.
template <class T, class TBase, class TWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits>
{
public:
    // Installs the object's trampoline as the control's procedure. Fails,
    // leaving the control as it was, when no trampoline can be had or the
    // platform refuses the procedure.
    BOOL AttachToControl(HWND window)
    {
        if (!this->EnsureTrampoline())
            return FALSE;
        const LONG_PTR previous =
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(this->m_trampoline));
        if (previous == 0)
            return FALSE;
        this->m_hWnd = window;
        this->previousProcedure = reinterpret_cast<WNDPROC>(previous);
        return TRUE;
    }
};
