#pragma once
#include "ui/CBitmapButtonImpl.h"

// The main dialog's skinned push-buttons.
class CBmpBtn : public CBitmapButtonImpl<CBmpBtn>
{
public:
    using CBitmapButtonImpl::CBitmapButtonImpl;
    ~CBmpBtn() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        return CBitmapButtonImpl::RouteMessage(window, message, wParam, lParam, result, 0);
    }
};
