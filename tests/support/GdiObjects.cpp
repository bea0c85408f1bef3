#include "support/GdiObjects.h"

#include <winternl.h>

#include <vector>

long CountGdiObjects(HANDLE process)
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
    ULONGLONG table = 0;
    MEMORY_BASIC_INFORMATION region;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + 0xF8, &table, sizeof table,
                           nullptr) ||
        table == 0 || !VirtualQueryEx(process, reinterpret_cast<void*>(table), &region, sizeof region))
        return -1;
    std::vector<Entry> entries((reinterpret_cast<ULONGLONG>(region.BaseAddress) + region.RegionSize - table) /
                               sizeof(Entry));
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size() * sizeof(Entry),
                           &read))
        return -1;
    long n = 0;
    for (size_t i = 0; i < read / sizeof(Entry); ++i)
        n += entries[i].type != 0 ? 1 : 0;
    return n;
#else
    (void)process;
    return -1;
#endif
}
