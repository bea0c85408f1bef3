#pragma once
#include <windows.h>

// Gives a dialog the program's icon, big and small, each at the system's
// size for it. The two icons are loaded once for the whole process and
// shared by every dialog, so opening a dialog a thousand times costs no
// icon handles.
void SetDialogIcons(HWND dialog);
