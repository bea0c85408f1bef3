#pragma once
#include <windows.h>

// A window handle and the few operations the program performs on it.
class CWindow
{
public:
    HWND m_hWnd = nullptr;

    // Centres the window over `center`, by default its parent (child
    // windows) or its owner; a hidden or minimised owner counts as none, and
    // then the primary work area is the target. The window is kept inside
    // the work area (or its parent's client area), its left and top edges
    // winning when it is larger.
    void CenterOverOwner(HWND center = nullptr) const;
};
