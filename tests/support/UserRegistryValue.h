#pragma once
#include <windows.h>

// A value under HKEY_CURRENT_USER, changed for a while: the object puts back
// what was there, or removes what was not, when it goes, so a failing test
// leaves the session's settings as it found them.
class UserRegistryValue
{
public:
    UserRegistryValue(const char* key, const char* name);
    ~UserRegistryValue();
    UserRegistryValue(const UserRegistryValue&) = delete;
    UserRegistryValue& operator=(const UserRegistryValue&) = delete;

    void SetDword(DWORD value);
    void Delete();

private:
    void Write(bool present, DWORD type, const void* data, DWORD size);

    const char* key_;
    const char* name_;
    bool had_;
    DWORD type_ = 0;
    BYTE old_[512] = {};
    DWORD size_ = sizeof old_;
};
