#include "support/UserRegistryValue.h"

UserRegistryValue::UserRegistryValue(const char* key, const char* name) : key_(key), name_(name)
{
    had_ = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type_, old_, &size_) == ERROR_SUCCESS;
}

void UserRegistryValue::Write(bool present, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (present)
        RegSetValueExA(key, name_, 0, type, static_cast<const BYTE*>(data), size);
    else
        RegDeleteValueA(key, name_);
    RegCloseKey(key);
}
