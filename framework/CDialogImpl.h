#pragma once
#include "framework/CDialogImplBaseT.h"
#include "framework/ModuleRecord.h"

// A dialog class T with its template T::IDD, run modally.
template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase>
{
public:
    // Runs the dialog until it ends; returns what EndDialog was given, the
    // platform's failure value, or -1 without a window when no trampoline
    // can be had (last error ERROR_OUTOFMEMORY) or when this object's dialog
    // is already open (last error ERROR_BUSY): one object is one window.
    INT_PTR RunModal(HWND owner, LPARAM initParam = 0)
    {
        if (this->m_hWnd != nullptr) {
            SetLastError(ERROR_BUSY);
            return -1;
        }
        if (!this->EnsureTrampoline()) {
            SetLastError(ERROR_OUTOFMEMORY);
            return -1;
        }
        g_creationRegistry.Register(this->m_creationEntry, static_cast<CDialogImplBaseT<TBase>*>(this));
        const INT_PTR result = DialogBoxParamA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(T::IDD),
                                               owner, &CDialogImplBaseT<TBase>::FirstMessageProcedure,
                                               initParam);
        const DWORD error = GetLastError();
        g_creationRegistry.Withdraw(this->m_creationEntry);
        SetLastError(error);
        return result;
    }

    bool IsOpen() const { return this->m_hWnd != nullptr; }
};
