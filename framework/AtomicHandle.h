#pragma once
#include <windows.h>

// Window and icon handles that both GUI threads read and write, always
// whole, through the interlocked calls: their casts live here only.
template <class THandle>
THandle AtomicLoad(THandle volatile& slot)
{
    return static_cast<THandle>(
        InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), nullptr, nullptr));
}

template <class THandle>
void AtomicStore(THandle volatile& slot, THandle value)
{
    InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), value);
}

// Stores `value` only into an empty slot; returns what the slot held before.
template <class THandle>
THandle AtomicStoreIfEmpty(THandle volatile& slot, THandle value)
{
    return static_cast<THandle>(
        InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), value, nullptr));
}
