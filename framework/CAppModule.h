#pragma once
#include <windows.h>

// The application module: the program's one module object. Start-up
// initialises it once with the instance handle and terminates it once.
class CAppModule
{
public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE Instance() const { return instance_; }
    static CAppModule* Current() { return current_; }

private:
    CRITICAL_SECTION lock_;
    bool lockAlive_ = true;
    HINSTANCE instance_ = nullptr;
    static CAppModule* current_;
};
