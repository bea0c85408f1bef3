#include "support/GdiObjects.h"

#include <windows.h>
#include <winternl.h>

// Live GDI objects in the process's GDI handle table (PEB, x64 offset 0xF8):
// Wine keeps one table per process and reports no GDI count.
long CountGdiObjects()
{
#if defined(_WIN64)
    struct Entry
    {
        ULONGLONG object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        ULONGLONG user;
    };
    static_assert(sizeof(Entry) == 24, "GDI handle table entry");
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    auto* peb = reinterpret_cast<unsigned char*>(basic.PebBaseAddress);
    auto* table = *reinterpret_cast<Entry**>(peb + 0xF8);
    MEMORY_BASIC_INFORMATION region;
    if (table == nullptr || !VirtualQuery(table, &region, sizeof region))
        return -1;
    const size_t entries = (reinterpret_cast<unsigned char*>(region.BaseAddress) + region.RegionSize -
                            reinterpret_cast<unsigned char*>(table)) /
                           sizeof(Entry);
    long n = 0;
    for (size_t i = 0; i < entries; ++i)
        n += table[i].type != 0 ? 1 : 0;
    return n;
#else
    return -1;
#endif
}
