#include "support/UserRegistryValue.h"

UserRegistryValue::UserRegistryValue(const char* key, const char* name) : key_(key), name_(name)
{
    had_ = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type_, old_, &size_) == ERROR_SUCCESS;
}

UserRegistryValue::~UserRegistryValue()
{
    Write(had_, type_, old_, size_);
}

void UserRegistryValue::SetDword(DWORD value)
{
    Write(true, REG_DWORD, &value, sizeof value);
}

void UserRegistryValue::Delete()
{
    Write(false, 0, nullptr, 0);
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
