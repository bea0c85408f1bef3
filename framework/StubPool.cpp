#include "framework/StubPool.h"

#include <cstring>

#include "framework/ScopedLock.h"

StubPool g_stubPool;

namespace {

constexpr unsigned char kTrap = 0xCC;  // int3

}  // namespace

StubPool::StubPool()
{
    InitializeCriticalSection(&lock_);
}

bool StubPool::MapSection()
{
    if (executable_ != nullptr)
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
    writable_ = static_cast<unsigned char*>(writable);
    executable_ = static_cast<unsigned char*>(executable);
    std::memset(writable_, kTrap, kSectionSize);
    return true;
}

EntryTrampoline* StubPool::Allocate(const void* object, const void* target)
{
    ScopedLock guard(lock_);
    if (inUse_ >= capacity_ || !MapSection())
        return nullptr;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        std::uint64_t bit = std::uint64_t{1} << (slot % 64);
        if (used_[slot / 64] & bit)
            continue;
        used_[slot / 64] |= bit;
        ++inUse_;
        const std::size_t offset = slot * EntryTrampoline::kSlotSize;
        unsigned char* code = executable_ + offset;
        EntryTrampoline::Encode(writable_ + offset, reinterpret_cast<std::uintptr_t>(code),
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
    if (executable_ == nullptr || at < executable_ || at >= executable_ + kSectionSize)
        return kSlots;
    return static_cast<std::size_t>(at - executable_) / EntryTrampoline::kSlotSize;
}

void StubPool::Release(EntryTrampoline* stub)
{
    if (stub == nullptr)
        return;
    ScopedLock guard(lock_);
    const std::size_t slot = SlotOf(stub);
    if (slot >= kSlots)
        return;
    std::uint64_t bit = std::uint64_t{1} << (slot % 64);
    if (!(used_[slot / 64] & bit))
        return;
    used_[slot / 64] &= ~bit;
    --inUse_;
    std::memset(writable_ + slot * EntryTrampoline::kSlotSize, kTrap, EntryTrampoline::kSlotSize);
    FlushInstructionCache(GetCurrentProcess(), stub, EntryTrampoline::kSlotSize);
}

void StubPool::SetCapacity(std::size_t capacity)
{
    ScopedLock guard(lock_);
    capacity_ = capacity < kSlots ? capacity : kSlots;
}

std::size_t StubPool::Capacity() const
{
    ScopedLock guard(lock_);
    return capacity_;
}

std::size_t StubPool::InUse() const
{
    ScopedLock guard(lock_);
    return inUse_;
}
