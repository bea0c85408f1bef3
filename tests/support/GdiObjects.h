#pragma once

// Live GDI objects of this process, counted in its GDI handle table: Wine
// implements no GetGuiResources. -1 where the table cannot be read (32-bit
// builds, whose table layout differs).
long CountGdiObjects();
