#pragma once
#include "framework/CDialogImplBaseT.h"
#include "framework/DialogDpi.h"
#include "framework/ModuleRecord.h"

// A dialog class T with its template T::IDD, run modally.
template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase>
{
public:
    explicit CDialogImpl(const DpiApi& dpiApi = kSystemDpiApi) : m_dpiLayout(dpiApi) {}

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

protected:
    // The shared answer to a change of the screen's DPI (another screen, a
    // new scaling). T calls PrepareForDpiChanges first at WM_INITDIALOG,
    // answers WM_GETDPISCALEDSIZE with AnswerDpiScaledSize and WM_DPICHANGED
    // with ChangeDpi, which lays the dialog out anew, lets T remake what is
    // its own (T::AfterDpiChange: fitted fonts, pictures) and repaints.
    void PrepareForDpiChanges() { m_dpiLayout.Start(this->m_hWnd, g_moduleRecord.ResourceInstance(), T::IDD); }

    LRESULT AnswerDpiScaledSize(WPARAM dpi, LPARAM size) const
    {
        return size != 0 &&
               m_dpiLayout.WindowSize(this->m_hWnd, static_cast<UINT>(dpi), *reinterpret_cast<SIZE*>(size));
    }

    LRESULT ChangeDpi(WPARAM dpis, LPARAM suggested)
    {
        TakeDpi(dpis, suggested);
        static_cast<T*>(this)->AfterDpiChange();
        RepaintAll();
        return 0;
    }

    // The layout alone: HIWORD(dpis) is the new DPI, `suggested` the
    // rectangle Windows proposes (none: where the window is).
    void TakeDpi(WPARAM dpis, LPARAM suggested)
    {
        RECT place;
        if (suggested != 0)
            place = *reinterpret_cast<const RECT*>(suggested);
        else
            GetWindowRect(this->m_hWnd, &place);
        m_dpiLayout.Change(this->m_hWnd, HIWORD(dpis), place);
    }

    void RepaintAll() const
    {
        RedrawWindow(this->m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }

    DialogDpi m_dpiLayout;
};
