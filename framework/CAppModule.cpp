#include "framework/CAppModule.h"

CAppModule* CAppModule::current_ = nullptr;

CAppModule::CAppModule()
{
    InitializeCriticalSection(&lock_);
    current_ = this;
}

CAppModule::~CAppModule()
{
    if (lockAlive_)
        DeleteCriticalSection(&lock_);
    if (current_ == this)
        current_ = nullptr;
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
    instance_ = nullptr;
    DeleteCriticalSection(&lock_);
    lockAlive_ = false;
}
