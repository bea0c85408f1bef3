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

// The centre of a window in screen coordinates.
POINT CentreOf(HWND window);

}  // namespace Input
