#include "support/Text.h"

#include <windows.h>

#include <cstdio>

std::wstring WideFrom936(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::string Utf8From936(const std::string& text)
{
    return Utf8FromWide(WideFrom936(text));
}

std::string Hex(unsigned long long value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, value);
    return text;
}
