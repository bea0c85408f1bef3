#pragma once
#include <windows.h>

// Live GDI objects of a process (this one by default), counted in its GDI
// handle table: Wine implements no GetGuiResources. Wine keeps the table's
// address in the 64-bit PEB of 32-bit processes too. -1 where the table
// cannot be read (32-bit test builds).
long CountGdiObjects(HANDLE process = GetCurrentProcess());
