#pragma once
#include <windows.h>

// Holds a critical section for one scope. Critical sections are the lock
// every supported Windows has, XP included.
class ScopedLock
{
public:
    explicit ScopedLock(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~ScopedLock() { LeaveCriticalSection(&m_lock); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};
