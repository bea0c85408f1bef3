#pragma once
#include <windows.h>

#include <string>

// "WM_CTLCOLORSTATIC" for 0x0138, "WM_APP+2" for a test's own message,
// "0x1234" for a message without a name here: readable message sequences.
std::string MessageName(UINT message);
