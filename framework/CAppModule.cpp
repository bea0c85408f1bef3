#include "framework/CAppModule.h"

CAppModule::CAppModule()
{
    InitializeCriticalSection(&m_lock);
}

CAppModule::~CAppModule()
{
    if (m_lockAlive)
        DeleteCriticalSection(&m_lock);
}

HRESULT CAppModule::Init(HINSTANCE instance)
{
    if (!m_lockAlive)
        return E_UNEXPECTED;
    EnterCriticalSection(&m_lock);
    m_instance = instance;
    LeaveCriticalSection(&m_lock);
    return S_OK;
}

void CAppModule::Term()
{
    if (!m_lockAlive)
        return;
    EnterCriticalSection(&m_lock);
    m_instance = nullptr;
    LeaveCriticalSection(&m_lock);
    DeleteCriticalSection(&m_lock);
    m_lockAlive = false;
}
