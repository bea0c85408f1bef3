#include "framework/CreationRegistry.h"

#include "framework/ScopedLock.h"

CreationRegistry::CreationRegistry()
{
    InitializeCriticalSection(&lock_);
}

CreationRegistry::~CreationRegistry()
{
    DeleteCriticalSection(&lock_);
}

void CreationRegistry::Register(CreationEntry& entry, void* object)
{
    entry.object = object;
    entry.threadId = GetCurrentThreadId();
    ScopedLock guard(lock_);
    entry.next = head_;
    head_ = &entry;
}

void* CreationRegistry::TakeForCurrentThread()
{
    const DWORD thread = GetCurrentThreadId();
    ScopedLock guard(lock_);
    for (CreationEntry** link = &head_; *link != nullptr; link = &(*link)->next) {
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
    ScopedLock guard(lock_);
    for (CreationEntry** link = &head_; *link != nullptr; link = &(*link)->next) {
        if (*link == &entry) {
            *link = entry.next;
            entry.next = nullptr;
            return;
        }
    }
}
