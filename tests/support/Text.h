#pragma once
#include <string>

// Conversions between the program's code page 936 strings and UTF-16 or
// UTF-8, for comparing with templates and printing failures readably.
std::wstring WideFrom936(const std::string& text);
std::string Utf8From936(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// "0x" and at least `digits` upper-case hex digits, for failure messages:
// colours (COLORREF, 0x00BBGGRR), styles, handles and codes.
std::string Hex(unsigned long long value, int digits = 1);
