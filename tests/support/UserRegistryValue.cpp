#include "support/UserRegistryValue.h"

UserRegistryValue::UserRegistryValue(const char* key, const char* name) : m_key(key), m_name(name)
{
    m_had = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &m_type, m_old, &m_size) == ERROR_SUCCESS;
}

void UserRegistryValue::Write(bool present, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, m_key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (present)
        RegSetValueExA(key, m_name, 0, type, static_cast<const BYTE*>(data), size);
    else
        RegDeleteValueA(key, m_name);
    RegCloseKey(key);
}
