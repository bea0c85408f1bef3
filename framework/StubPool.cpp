#include "framework/StubPool.h"

#include <cstring>

#include "framework/ScopedLock.h"

StubPool g_stubPool;

namespace {

constexpr unsigned char kTrap = 0xCC;  // int3

}  // namespace

StubPool::StubPool()
{
    InitializeCriticalSection(&m_lock);
}

bool StubPool::MapSection()
{
    if (m_executable != nullptr)
        return true;
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_EXECUTE_READWRITE,
                                        0, kSectionSize, nullptr);
    if (section == nullptr)
        return false;
    void* writable = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, kSectionSize);
    void* executable = MapViewOfFile(section, FILE_MAP_READ | FILE_MAP_EXECUTE, 0, 0, kSectionSize);
    // The views keep the section alive.
    CloseHandle(section);
    if (writable == nullptr || executable == nullptr) {
        if (writable != nullptr)
            UnmapViewOfFile(writable);
        if (executable != nullptr)
            UnmapViewOfFile(executable);
        return false;
    }
    m_writable = static_cast<unsigned char*>(writable);
    m_executable = static_cast<unsigned char*>(executable);
    std::memset(m_writable, kTrap, kSectionSize);
    return true;
}

EntryTrampoline* StubPool::Allocate(const void* object, const void* target)
{
    ScopedLock guard(m_lock);
    if (!MapSection())
        return nullptr;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        std::uint64_t bit = std::uint64_t{1} << (slot % 64);
        if (m_used[slot / 64] & bit)
            continue;
        m_used[slot / 64] |= bit;
        ++m_inUse;
        const std::size_t offset = slot * EntryTrampoline::kSlotSize;
        unsigned char* code = m_executable + offset;
        EntryTrampoline::Encode(m_writable + offset, reinterpret_cast<std::uintptr_t>(code),
                                reinterpret_cast<std::uintptr_t>(object),
                                reinterpret_cast<std::uintptr_t>(target));
        FlushInstructionCache(GetCurrentProcess(), code, EntryTrampoline::kSlotSize);
        return reinterpret_cast<EntryTrampoline*>(code);
    }
    return nullptr;
}

std::size_t StubPool::SlotOf(const EntryTrampoline* stub) const
{
    auto at = reinterpret_cast<const unsigned char*>(stub);
    if (m_executable == nullptr || at < m_executable || at >= m_executable + kSectionSize)
        return kSlots;
    return static_cast<std::size_t>(at - m_executable) / EntryTrampoline::kSlotSize;
}

void StubPool::Release(EntryTrampoline* stub)
{
    if (stub == nullptr)
        return;
    ScopedLock guard(m_lock);
    const std::size_t slot = SlotOf(stub);
    if (slot >= kSlots)
        return;
    std::uint64_t bit = std::uint64_t{1} << (slot % 64);
    if (!(m_used[slot / 64] & bit))
        return;
    m_used[slot / 64] &= ~bit;
    --m_inUse;
    std::memset(m_writable + slot * EntryTrampoline::kSlotSize, kTrap, EntryTrampoline::kSlotSize);
    FlushInstructionCache(GetCurrentProcess(), stub, EntryTrampoline::kSlotSize);
}

std::size_t StubPool::InUse() const
{
    ScopedLock guard(m_lock);
    return m_inUse;
}
