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

    HINSTANCE Instance() const { return instance_; }

private:
    CRITICAL_SECTION lock_;
    bool lockAlive_ = true;
    HINSTANCE instance_ = nullptr;
};
