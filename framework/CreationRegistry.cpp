#include "framework/CreationRegistry.h"

#include "framework/ScopedLock.h"

CreationRegistry::CreationRegistry()
{
    InitializeCriticalSection(&m_lock);
}

CreationRegistry::~CreationRegistry()
{
    DeleteCriticalSection(&m_lock);
}

void CreationRegistry::Register(CreationEntry& entry, void* object)
{
    entry.object = object;
    entry.threadId = GetCurrentThreadId();
    ScopedLock guard(m_lock);
    entry.next = m_head;
    m_head = &entry;
}

void* CreationRegistry::TakeForCurrentThread()
{
    const DWORD thread = GetCurrentThreadId();
    ScopedLock guard(m_lock);
    for (CreationEntry** link = &m_head; *link != nullptr; link = &(*link)->next) {
        CreationEntry* entry = *link;
        if (entry->threadId == thread) {
            *link = entry->next;
            entry->next = nullptr;
            return entry->object;
        }
    }
    return nullptr;
}

void CreationRegistry::Withdraw(CreationEntry& entry)
{
    ScopedLock guard(m_lock);
    for (CreationEntry** link = &m_head; *link != nullptr; link = &(*link)->next) {
        if (*link == &entry) {
            *link = entry.next;
            entry.next = nullptr;
            return;
        }
    }
}
