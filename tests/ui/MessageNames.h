#pragma once
#include <windows.h>

#include <string>

// "WM_CTLCOLORSTATIC" for 0x0138, "0x1234" for a message without a name here.
std::string MessageName(UINT message);
