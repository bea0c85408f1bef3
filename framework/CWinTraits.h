#pragma once
#include <windows.h>

// Creation styles of a window class that could create its own window.
template <DWORD t_style, DWORD t_exStyle = 0>
class CWinTraits
{
public:
    static constexpr DWORD GetWndStyle(DWORD style) { return style == 0 ? t_style : style; }
    static constexpr DWORD GetWndExStyle(DWORD exStyle) { return exStyle == 0 ? t_exStyle : exStyle; }
};
