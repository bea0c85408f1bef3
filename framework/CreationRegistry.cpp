#include "framework/CreationRegistry.h"

namespace {

class Locked
{
public:
    explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

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
    Locked guard(lock_);
    entry.next = head_;
    head_ = &entry;
}

void* CreationRegistry::TakeForCurrentThread()
{
    const DWORD thread = GetCurrentThreadId();
    Locked guard(lock_);
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
    Locked guard(lock_);
    for (CreationEntry** link = &head_; *link != nullptr; link = &(*link)->next) {
        if (*link == &entry) {
            *link = entry.next;
            entry.next = nullptr;
            return;
        }
    }
}
