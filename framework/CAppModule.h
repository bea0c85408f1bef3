#pragma once
#include <windows.h>

// The application module, the program's one module object: start-up
// initialises it once with the instance handle and terminates it once.
class CAppModule
{
public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(HINSTANCE instance);
    // Releases what Init took, the lock included; the destructor then has
    // nothing left to do.
    void Term();

    // Kept because the program's interface requires it; nothing here calls it.
    HINSTANCE Instance() const { return m_instance; }

private:
    CRITICAL_SECTION m_lock;
    bool m_lockAlive = true;
    HINSTANCE m_instance = nullptr;
};

// The one module object, defined with the other process-wide objects.
extern CAppModule g_appModule;
