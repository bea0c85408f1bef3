#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "framework/EntryTrampoline.h"

// The process-wide pool of entry trampolines, shared by both GUI threads.
//
// The stubs live in one page-file section mapped twice: the program writes
// them through a read-write view and executes them from a read-execute view,
// so no page is ever writable and executable at once.
class StubPool
{
public:
    static constexpr std::size_t kSectionSize = 4096;
    static constexpr std::size_t kSlots = kSectionSize / EntryTrampoline::kSlotSize;

    StubPool();
    StubPool(const StubPool&) = delete;
    StubPool& operator=(const StubPool&) = delete;

    // A stub that enters `target` with `object` as first argument, or null
    // when all kSlots are in use or the section cannot be made.
    EntryTrampoline* Allocate(const void* object, const void* target);
    // Returns a stub; its bytes become traps, so a late call faults loudly.
    void Release(EntryTrampoline* stub);

    std::size_t InUse() const;

private:
    bool MapSection();
    std::size_t SlotOf(const EntryTrampoline* stub) const;

    mutable CRITICAL_SECTION m_lock;
    unsigned char* m_writable = nullptr;
    unsigned char* m_executable = nullptr;
    std::size_t m_inUse = 0;
    std::uint64_t m_used[kSlots / 64] = {};
};

// Never destroyed, its lock never deleted: the process-wide dialog objects
// return their stubs from their destructors at exit, in any order. Nothing
// allocates a stub before WinMain, so its construction order does not matter.
extern StubPool g_stubPool;
