#pragma once
#include <windows.h>

// A value under HKEY_CURRENT_USER, changed for a while: what was there is
// put back, or what was not is removed, when the object goes, so a failing
// test leaves the session's settings as it found them.
class UserRegistryValue
{
public:
    UserRegistryValue(const char* key, const char* name);
    ~UserRegistryValue() { Write(had_, type_, old_, size_); }

    void SetDword(DWORD value) { Write(true, REG_DWORD, &value, sizeof value); }
    void Delete() { Write(false, 0, nullptr, 0); }

private:
    void Write(bool present, DWORD type, const void* data, DWORD size);

    const char* key_;
    const char* name_;
    bool had_;
    DWORD type_ = 0;
    BYTE old_[512] = {};
    DWORD size_ = sizeof old_;
};
