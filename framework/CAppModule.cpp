#include "framework/CAppModule.h"

CAppModule::CAppModule()
{
    InitializeCriticalSection(&lock_);
}

CAppModule::~CAppModule()
{
    if (lockAlive_)
        DeleteCriticalSection(&lock_);
}

HRESULT CAppModule::Init(HINSTANCE instance)
{
    if (!lockAlive_)
        return E_UNEXPECTED;
    EnterCriticalSection(&lock_);
    instance_ = instance;
    LeaveCriticalSection(&lock_);
    return S_OK;
}

void CAppModule::Term()
{
    if (!lockAlive_)
        return;
    EnterCriticalSection(&lock_);
    instance_ = nullptr;
    LeaveCriticalSection(&lock_);
    DeleteCriticalSection(&lock_);
    lockAlive_ = false;
}
