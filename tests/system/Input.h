#pragma once
#include <windows.h>

// Real input through SendInput, as a user's mouse and keyboard would give it.
namespace Input {

void MoveTo(POINT screen);
void LeftClick(POINT screen);
void LeftDoubleClick(POINT screen);
void RightClick(POINT screen);
void LeftDrag(POINT from, POINT to);
void Key(WORD virtualKey);

// Waits until a popup menu of `owner`'s thread is open and takes the
// keyboard. A menu shows before its thread enters menu mode and becomes the
// foreground; keys typed in between go elsewhere.
bool WaitForMenuKeyboard(HWND owner, DWORD ms = 3000);
// Once the menu takes the keyboard, clicks item `position` (1 = top) of its
// `items` items.
bool ChooseFromMenu(HWND owner, int position, int items = 3);

// The centre of a window in screen coordinates.
POINT CentreOf(HWND window);

}  // namespace Input
