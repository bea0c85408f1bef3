#pragma once
#include <windows.h>

// A handler map: the whole behaviour of a class towards its window. It
// answers nonzero when it handled the message and then has stored the
// message's result. Every map declines at once when mapId is not 0: the map
// id is kept because the program's interface requires it; nothing here
// passes another.
class CMessageMap
{
public:
    virtual BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD mapId) = 0;

protected:
    // A map entry's answer: the message's result, and "handled".
    static BOOL Answer(LRESULT& result, LRESULT value)
    {
        result = value;
        return TRUE;
    }

    CMessageMap() = default;
    ~CMessageMap() = default;
    CMessageMap(const CMessageMap&) = default;
    CMessageMap& operator=(const CMessageMap&) = default;
};
