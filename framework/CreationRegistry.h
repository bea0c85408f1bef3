#pragma once
#include <windows.h>

// A registration lives inside the object being created; the registry only
// links it.
struct CreationEntry
{
    void* object = nullptr;
    DWORD threadId = 0;
    CreationEntry* next = nullptr;
};

// Hands an object that is about to create a window to that window's first
// message. Both GUI threads create dialogs, so the list is locked, and each
// entry carries its thread so that one thread never takes the other's object.
class CreationRegistry
{
public:
    CreationRegistry();
    ~CreationRegistry();
    CreationRegistry(const CreationRegistry&) = delete;
    CreationRegistry& operator=(const CreationRegistry&) = delete;

    // Newest first.
    void Register(CreationEntry& entry, void* object);
    // The calling thread's newest object, unlinked; null when there is none.
    void* TakeForCurrentThread();
    // Unlinks an entry whose window never came, so that it can neither bind
    // a stranger's window nor be linked twice by the next run.
    void Withdraw(CreationEntry& entry);

private:
    CRITICAL_SECTION m_lock;
    CreationEntry* m_head = nullptr;
};

// Defined by the program beside its other process-wide objects.
extern CreationRegistry g_creationRegistry;
