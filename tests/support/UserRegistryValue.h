#pragma once
#include <windows.h>

// A value under HKEY_CURRENT_USER, changed for a while: what was there is
// put back, or what was not is removed, when the object goes, so a failing
// test leaves the session's settings as it found them.
class UserRegistryValue
{
public:
    UserRegistryValue(const char* key, const char* name);
    ~UserRegistryValue() { Write(m_had, m_type, m_old, m_size); }

    void SetDword(DWORD value) { Write(true, REG_DWORD, &value, sizeof value); }
    void SetString(const char* value) { Write(true, REG_SZ, value, static_cast<DWORD>(lstrlenA(value) + 1)); }
    void Delete() { Write(false, 0, nullptr, 0); }

private:
    void Write(bool present, DWORD type, const void* data, DWORD size);

    const char* m_key;
    const char* m_name;
    bool m_had;
    DWORD m_type = 0;
    BYTE m_old[512] = {};
    DWORD m_size = sizeof m_old;
};
