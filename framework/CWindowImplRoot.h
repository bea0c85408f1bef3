#pragma once
#include <windows.h>

#include "framework/CMessageMap.h"
#include "framework/CreationRegistry.h"
#include "framework/EntryTrampoline.h"
#include "framework/MessageRecord.h"
#include "framework/StubPool.h"

using EntryProcedureFn = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

// What every window-bound object carries: its registration, its trampoline,
// the message being processed and whether the window has gone.
//
// Objects outlive their windows: a destructor never destroys a window, and
// an object is unbound once its window has seen WM_NCDESTROY and no message
// of it is still in progress, ready to be bound again.
template <class TBase>
class CWindowImplRoot : public TBase, public CMessageMap
{
public:
    // The state's one bit: the window has seen WM_NCDESTROY.
    enum : DWORD { windowGone = 0x1 };

    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;

    virtual ~CWindowImplRoot() { g_stubPool.Release(m_trampoline); }

    // The procedure the trampoline enters, with this object in place of
    // the window handle.
    virtual EntryProcedureFn EntryProcedure() = 0;
    // Called once when the window has gone and its last message returned.
    virtual void AfterLastMessage(HWND) {}

    MessageRecord* CurrentMessage() const { return m_currentMessage; }
    EntryTrampoline* Trampoline() const { return m_trampoline; }
    DWORD State() const { return m_state; }

protected:
    // The trampoline's target and object never change for an object, so it
    // is written once, at its first use.
    bool EnsureTrampoline()
    {
        if (m_trampoline == nullptr)
            m_trampoline = g_stubPool.Allocate(this, reinterpret_cast<const void*>(EntryProcedure()));
        return m_trampoline != nullptr;
    }

    // Opens a record for one message; returns the outer one to restore.
    MessageRecord* BeginMessage(MessageRecord& record, UINT message, WPARAM wParam, LPARAM lParam)
    {
        record = MessageRecord{this->m_hWnd, message, wParam, lParam, 0, {0, 0},
                               sizeof(MessageRecord), TRUE};
        MessageRecord* outer = m_currentMessage;
        m_currentMessage = &record;
        return outer;
    }

    // After the window's last message: forget the window, then tell the class.
    void Unbind()
    {
        HWND old = this->m_hWnd;
        m_state &= ~windowGone;
        this->m_hWnd = nullptr;
        m_currentMessage = nullptr;
        AfterLastMessage(old);
    }

    CreationEntry m_creationEntry;
    EntryTrampoline* m_trampoline = nullptr;
    MessageRecord* m_currentMessage = nullptr;
    DWORD m_state = 0;
};
