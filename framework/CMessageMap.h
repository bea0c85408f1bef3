#pragma once
#include <windows.h>

// A handler map: the whole behaviour of a class towards its window. It
// answers nonzero when it handled the message and then has stored the
// message's result. Every map declines at once when mapId is not 0.
class CMessageMap
{
public:
    virtual BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId) = 0;

protected:
    CMessageMap() = default;
    ~CMessageMap() = default;
    CMessageMap(const CMessageMap&) = default;
    CMessageMap& operator=(const CMessageMap&) = default;
};
